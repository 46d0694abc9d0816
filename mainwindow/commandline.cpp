#include "mainwindow/commandline.h"

#include "platform/names.h"
#include "settings/paths.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString UsageLine = u"使い方 / Usage: kazami [OPTION] [FOLDER]\n"_s;

const QString HelpText = UsageLine +
                         u"\n"
                         "フォルダ内のファイル名を一度に変換します。\n"
                         "Renames the files of one folder in one go.\n"
                         "\n"
                         "FOLDER（パスまたは file:// URI）を指定すると、そのフォルダを開いて一覧にします。\n"
                         "With FOLDER (a path or a file:// URI), Kazami starts in that folder and lists it.\n"
                         "\n"
                         "  -h, --help     この説明を表示して終了 / show this help and exit\n"
                         "  -v, --version  版を表示して終了 / show the version and exit\n"_s;

CommandLine Refused(const QString &reason)
{
    return {true, 1, u"kazami: "_s + reason + u'\n' + UsageLine + u"詳しくは / see: kazami --help\n"_s, {}};
}

// Whether the argument is a URI rather than a path: "file:" or any
// "scheme://" at its start.
bool IsUri(const QString &argument)
{
    static const QRegularExpression scheme(u"^(file:|[A-Za-z][A-Za-z0-9+.-]*://)"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    return scheme.match(argument).hasMatch();
}

// The local folder a file:// URI names; nothing for another scheme, another
// host or a path that no folder can have.
std::optional<QString> FolderOfUri(const QByteArray &uri)
{
    // Escaping every byte outside printable ASCII first carries bytes that
    // are not UTF-8 through QUrl, which reads its input as UTF-8.
    QByteArray ascii;
    for (const char c : uri) {
        const auto byte = uchar(c);
        ascii += byte <= 0x20 || byte >= 0x7f ? QByteArray(1, c).toPercentEncoding() : QByteArray(1, c);
    }
    const QUrl url = QUrl::fromEncoded(ascii, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme() != u"file" || !(url.host().isEmpty() || url.host() == u"localhost"))
        return std::nullopt;
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    // A NUL would cut the path short at every system call.
    if (!path.startsWith('/') || path.contains('\0'))
        return std::nullopt;
    return DecodeName(path);
}

} // namespace

QList<QByteArray> WithoutQtOptions(const QList<QByteArray> &arguments)
{
    // What QCoreApplication, QGuiApplication, QApplication and the xcb
    // platform take out of argv, with one dash or two.
    static const QByteArrayList withValue = {
        "platform",
        "platformpluginpath",
        "platformtheme",
        "plugin",
        "qwindowgeometry",
        "qwindowicon",
        "qwindowtitle",
        "geometry",
        "title",
        "icon",
        "session",
        "style",
        "stylesheet",
        "display",
        "name",
        "qmljsdebugger",
    };
    static const QByteArrayList alone = {"reverse", "testability", "widgetcount", "qdevel", "qdebug"};
    static const QByteArrayList joined = {"style=", "stylesheet=", "qmljsdebugger="};
    QList<QByteArray> kept;
    for (qsizetype at = 0; at < arguments.size(); ++at) {
        const QByteArray &argument = arguments.at(at);
        if (at == 0 || !argument.startsWith('-')) {
            kept.append(argument);
            continue;
        }
        const QByteArray name = argument.mid(argument.startsWith("--") ? 2 : 1);
        if (withValue.contains(name))
            ++at;
        else if (!alone.contains(name) &&
                 std::none_of(joined.begin(), joined.end(),
                              [&](const QByteArray &prefix) { return name.startsWith(prefix); }))
            kept.append(argument);
    }
    return kept;
}

QString ProgramVersion()
{
    return QStringLiteral(KAZAMI_VERSION);
}

CommandLine ParseCommandLine(const QList<QByteArray> &arguments)
{
    QStringList texts;
    for (const QByteArray &argument : arguments)
        texts.append(DecodeName(argument));
    if (texts.isEmpty())
        texts.append(u"kazami"_s);

    QCommandLineParser parser;
    // Qt's own options are single-dash words (-platform, -session); read them
    // as one unknown option each, not as a row of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(QStringList{u"v"_s, u"version"_s});
    parser.addOption(help);
    parser.addOption(version);
    const bool parsed = parser.parse(texts);
    if (parser.isSet(help))
        return {true, 0, HelpText, {}};
    if (parser.isSet(version))
        return {true, 0, u"Kazami "_s + ProgramVersion() + u'\n', {}};
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            return Refused(parser.errorText());
        QStringList shown;
        for (const QString &name : unknown)
            shown.append((name.size() == 1 ? u"-"_s : u"--"_s) + name);
        return Refused(u"不明なオプション / unknown option: "_s + shown.join(u", "_s));
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return Refused(u"フォルダは一つだけ指定してください / name one folder only"_s);
    if (positional.isEmpty() || positional.first().isEmpty())
        return {};
    const QString &argument = positional.first();
    if (!IsUri(argument))
        return {false, 0, {}, AbsoluteFolder(argument)};
    const std::optional<QString> folder = FolderOfUri(EncodeName(argument));
    if (!folder)
        return Refused(u"このコンピュータのフォルダではありません / not a local folder: "_s + argument);
    return {false, 0, {}, *folder};
}
