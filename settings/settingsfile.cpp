#include "settings/settingsfile.h"

#include "engine/messages.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"

#include <QStringDecoder>
#include <charconv>
#include <cmath>

namespace {

const QString Header = QStringLiteral("///// Kazami ver1.2 設定保存用ファイル /////");
const QString SettingsFileName = QStringLiteral("Kazami.ini");

std::function<bool()> &FirstRunHook()
{
    static std::function<bool()> hook = [] { return true; };
    return hook;
}

// Lines end at CR LF, CR or LF: no value holds a line break of its own,
// since every text value is written through EscapeLine.
QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) != u'\r' && text.at(i) != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString IntegerToText(qint16 value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

class LineReader final
{
public:
    explicit LineReader(QStringList lines) : m_lines(std::move(lines)) {}

    bool Text(QString &field)
    {
        if (m_next >= m_lines.size())
            return false;
        field = UnescapeLine(m_lines.at(m_next++));
        return true;
    }
    bool Bool(bool &field)
    {
        if (m_next >= m_lines.size())
            return false;
        field = TextToBool(m_lines.at(m_next++));
        return true;
    }
    bool Integer(qint16 &field)
    {
        if (m_next >= m_lines.size())
            return false;
        const QString text = m_lines.at(m_next++);
        const auto value = ParseLenientInteger(text);
        if (!value)
            return false;
        field = *value;
        return true;
    }

private:
    QStringList m_lines;
    qsizetype m_next = 0;
};

// The lines after the prohibited names. A file of an older version ends
// before them; a missing or unreadable line keeps that choice's default.
void ReadAddedChoices(LineReader &in, AppSettings &s)
{
    const AppSettings defaults;
    s.DateSource = defaults.DateSource;
    s.ReplaceRegex = defaults.ReplaceRegex;
    s.ReplaceAll = defaults.ReplaceAll;
    in.Integer(s.DateSource);
    in.Bool(s.ReplaceRegex);
    in.Bool(s.ReplaceAll);
}

} // namespace

QString SettingsFilePath()
{
    return JoinPath(GetSettingsFolder(), SettingsFileName);
}

void SetFirstRunHook(std::function<bool()> hook)
{
    FirstRunHook() = std::move(hook);
}

QString DecodeTextFile(const QByteArray &content)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(content);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp932("windows-31j");
    if (!cp932.isValid())
        cp932 = QStringDecoder("Shift_JIS");
    if (!cp932.isValid())
        return QString::fromLatin1(content);
    return cp932.decode(content);
}

bool ReadSettings(const QByteArray &content, AppSettings &s)
{
    // A text file holds no NUL: this is no settings file.
    if (content.contains('\0'))
        return false;
    LineReader in(SplitLines(DecodeTextFile(content)));
    QString header;
    bool ok = in.Text(header) && in.Text(s.CurrentFolder) && in.Bool(s.ProtectExtension) &&
              in.Bool(s.ShowShortcuts) && in.Bool(s.ReservedFlag) && in.Bool(s.ShowHidden) &&
              in.Bool(s.ShowSystem) && in.Bool(s.NumberZeroPad) && in.Bool(s.NumberAutoDigits) &&
              in.Integer(s.NumberDigits) && in.Integer(s.NumberStart) && in.Text(s.NumberPattern) &&
              in.Text(s.ReplaceFrom) && in.Text(s.ReplaceTo) && in.Text(s.InsertText) &&
              in.Text(s.DatePrefix) && in.Bool(s.ReplaceCaseSensitive) && in.Bool(s.PictureShowNeighbours) &&
              in.Text(s.ExternalProgram) && in.Bool(s.PictureWindowOpen) && in.Bool(s.EtcWindowOpen);
    for (int slot = 1; ok && slot <= 10; ++slot)
        ok = in.Text(s.ProhibitedNames[slot]);
    if (ok)
        ReadAddedChoices(in, s);
    return ok;
}

LoadResult LoadSettings(AppSettings &s)
{
    s.DateInsertOnly = false;
    s.ShowExcludeConfirm = true;
    s.FilePattern = QStringLiteral("*.*");
    s.ReplaceFromTop = true;
    for (int slot = 1; slot <= 11; ++slot)
        s.ProhibitedNames[slot].clear();

    const auto content = Fs().ReadFile(SettingsFilePath());
    if (content && ReadSettings(*content, s))
        return LoadResult::Loaded;

    if (!FirstRunHook()())
        return LoadResult::Refused;
    SetDefaultSettings(s);
    SaveSettings(s);
    return LoadResult::FirstRun;
}

QByteArray ComposeSettings(const AppSettings &s)
{
    // Every text value goes through EscapeLine: a folder may hold CR or LF,
    // and a line break in a value would shift every line after it.
    QStringList lines = {
        Header,
        EscapeLine(s.CurrentFolder),
        BoolToText(s.ProtectExtension),
        BoolToText(s.ShowShortcuts),
        BoolToText(s.ReservedFlag),
        BoolToText(s.ShowHidden),
        BoolToText(s.ShowSystem),
        BoolToText(s.NumberZeroPad),
        BoolToText(s.NumberAutoDigits),
        IntegerToText(s.NumberDigits),
        IntegerToText(s.NumberStart),
        EscapeLine(s.NumberPattern),
        EscapeLine(s.ReplaceFrom),
        EscapeLine(s.ReplaceTo),
        EscapeLine(s.InsertText),
        EscapeLine(s.DatePrefix),
        BoolToText(s.ReplaceCaseSensitive),
        BoolToText(s.PictureShowNeighbours),
        EscapeLine(s.ExternalProgram),
        BoolToText(s.PictureWindowOpen),
        BoolToText(s.EtcWindowOpen),
    };
    for (int slot = 1; slot <= 10; ++slot)
        lines.append(EscapeLine(s.ProhibitedNames[slot]));
    lines << IntegerToText(s.DateSource) << BoolToText(s.ReplaceRegex) << BoolToText(s.ReplaceAll);
    QByteArray content;
    for (const QString &line : lines)
        content += line.toUtf8() + "\r\n";
    return content;
}

bool SaveSettings(const AppSettings &s)
{
    // The folder is settled once, so the file written is the one named below.
    const QString folder = GetSettingsFolder();
    const QString path = JoinPath(folder, SettingsFileName);
    if (Fs().MakeFolder(folder) && Fs().ReplaceFile(path, ComposeSettings(s)))
        return true;
    Messages().ShowMessage(QStringLiteral("設定ファイルを保存できませんでした．") + CrLf + path + CrLf +
                               CrLf + QStringLiteral("フォルダに書き込めるか確かめてください"),
                           QString(), MessageIcon::Exclamation);
    return false;
}

void SetDefaultSettings(AppSettings &s)
{
    const AppSettings defaults;
    s.CurrentFolder = GetFirstRunFolder();
    s.ProtectExtension = defaults.ProtectExtension;
    s.ShowShortcuts = defaults.ShowShortcuts;
    s.ReservedFlag = defaults.ReservedFlag;
    s.ShowHidden = defaults.ShowHidden;
    s.ShowSystem = defaults.ShowSystem;
    s.NumberZeroPad = defaults.NumberZeroPad;
    s.NumberAutoDigits = defaults.NumberAutoDigits;
    s.NumberDigits = defaults.NumberDigits;
    s.NumberStart = defaults.NumberStart;
    s.ReplaceFrom.clear();
    s.ReplaceTo.clear();
    s.InsertText.clear();
    s.ReplaceCaseSensitive = defaults.ReplaceCaseSensitive;
    s.ExternalProgram = defaults.ExternalProgram;
    s.PictureWindowOpen = defaults.PictureWindowOpen;
    s.EtcWindowOpen = defaults.EtcWindowOpen;
    s.DateSource = defaults.DateSource;
    s.ReplaceRegex = defaults.ReplaceRegex;
    s.ReplaceAll = defaults.ReplaceAll;
}

QString BoolToText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool TextToBool(const QString &text)
{
    return text == u"True";
}

std::optional<qint16> ParseLenientInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    // Collect the longest prefix that reads as a number: sign, digits, a
    // fraction and an exponent.
    std::string number;
    auto digitsFrom = [&](qsizetype &k) {
        const qsizetype start = k;
        while (k < text.size() && text.at(k) >= u'0' && text.at(k) <= u'9')
            number.push_back(char(text.at(k++).unicode()));
        return k > start;
    };
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        if (text.at(i) == u'-')
            number.push_back('-');
        ++i;
    }
    bool any = digitsFrom(i);
    if (i < text.size() && text.at(i) == u'.') {
        number.push_back('.');
        ++i;
        any = digitsFrom(i) || any;
    }
    if (!any)
        return qint16(0);
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        const std::size_t mark = number.size();
        qsizetype k = i + 1;
        number.push_back('e');
        if (k < text.size() && (text.at(k) == u'+' || text.at(k) == u'-'))
            number.push_back(char(text.at(k++).unicode()));
        if (!digitsFrom(k))
            number.resize(mark);
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range)
        return std::nullopt;
    if (ec != std::errc())
        return qint16(0);
    // Halves go to the even neighbour.
    const double rounded =
        value - std::floor(value) == 0.5 ? 2.0 * std::round(value / 2.0) : std::round(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return qint16(rounded);
}

void PushHistory(const QString &value, QString &current, std::array<QString, 2> &previous)
{
    if (value == current)
        return;
    if (value != previous[0])
        previous[1] = previous[0];
    previous[0] = current;
    current = value;
}

QStringList HistoryEntries(const QString &current, const std::array<QString, 2> &previous)
{
    QStringList entries;
    for (const QString *entry : {&current, &previous[0], &previous[1]}) {
        if (!entry->isEmpty())
            entries.append(*entry);
    }
    return entries;
}

void WarnSystemFolder(const AppSettings &settings)
{
    if (!IsSystemFolder(AbsoluteFolder(settings.CurrentFolder)))
        return;
    Messages().ShowMessage(QStringLiteral("システムのフォルダが指定されました") + CrLf +
                               QStringLiteral("このフォルダのファイル名を変えると") + CrLf +
                               QStringLiteral("とんでもないことが起こります．"),
                           QStringLiteral("システムフォルダは危険です"), MessageIcon::Exclamation);
}
