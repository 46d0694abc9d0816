#include "rules/conversion.h"

#include "rules/nameparts.h"

#include <array>

namespace {

// One half-width katakana or punctuation mark, U+FF61 onwards in order, and
// its full-width forms: plain, with the voiced mark, with the semi-voiced
// mark (0 where there is none).
struct KanaWidth
{
    char16_t full;
    char16_t voiced;
    char16_t semiVoiced;
};

constexpr char16_t HalfKanaFirst = 0xFF61;
constexpr char16_t HalfVoicedMark = 0xFF9E;
constexpr char16_t HalfSemiVoicedMark = 0xFF9F;

constexpr KanaWidth HalfKana[] = {
    {u'。', 0, 0},         {u'「', 0, 0},         {u'」', 0, 0},         {u'、', 0, 0},
    {u'・', 0, 0},         {u'ヲ', u'ヺ', 0},     {u'ァ', 0, 0},         {u'ィ', 0, 0},
    {u'ゥ', 0, 0},         {u'ェ', 0, 0},         {u'ォ', 0, 0},         {u'ャ', 0, 0},
    {u'ュ', 0, 0},         {u'ョ', 0, 0},         {u'ッ', 0, 0},         {u'ー', 0, 0},
    {u'ア', 0, 0},         {u'イ', 0, 0},         {u'ウ', u'ヴ', 0},     {u'エ', 0, 0},
    {u'オ', 0, 0},         {u'カ', u'ガ', 0},     {u'キ', u'ギ', 0},     {u'ク', u'グ', 0},
    {u'ケ', u'ゲ', 0},     {u'コ', u'ゴ', 0},     {u'サ', u'ザ', 0},     {u'シ', u'ジ', 0},
    {u'ス', u'ズ', 0},     {u'セ', u'ゼ', 0},     {u'ソ', u'ゾ', 0},     {u'タ', u'ダ', 0},
    {u'チ', u'ヂ', 0},     {u'ツ', u'ヅ', 0},     {u'テ', u'デ', 0},     {u'ト', u'ド', 0},
    {u'ナ', 0, 0},         {u'ニ', 0, 0},         {u'ヌ', 0, 0},         {u'ネ', 0, 0},
    {u'ノ', 0, 0},         {u'ハ', u'バ', u'パ'}, {u'ヒ', u'ビ', u'ピ'}, {u'フ', u'ブ', u'プ'},
    {u'ヘ', u'ベ', u'ペ'}, {u'ホ', u'ボ', u'ポ'}, {u'マ', 0, 0},         {u'ミ', 0, 0},
    {u'ム', 0, 0},         {u'メ', 0, 0},         {u'モ', 0, 0},         {u'ヤ', 0, 0},
    {u'ユ', 0, 0},         {u'ヨ', 0, 0},         {u'ラ', 0, 0},         {u'リ', 0, 0},
    {u'ル', 0, 0},         {u'レ', 0, 0},         {u'ロ', 0, 0},         {u'ワ', u'ヷ', 0},
    {u'ン', 0, 0},         {u'゛', 0, 0},         {u'゜', 0, 0},
};
static_assert(std::size(HalfKana) == 0xFF9F - 0xFF61 + 1);

// The half-width form of a full-width character of U+3000 to U+30FF: the
// half-width character and the mark that follows it (0 for none).
struct HalfForm
{
    char16_t half = 0;
    char16_t mark = 0;
};

const std::array<HalfForm, 0x100> &HalfForms()
{
    static const std::array<HalfForm, 0x100> forms = [] {
        std::array<HalfForm, 0x100> table{};
        for (size_t k = 0; k < std::size(HalfKana); ++k) {
            const char16_t half = char16_t(HalfKanaFirst + k);
            const KanaWidth &kana = HalfKana[k];
            table[kana.full - 0x3000] = {half, 0};
            if (kana.voiced)
                table[kana.voiced - 0x3000] = {half, HalfVoicedMark};
            if (kana.semiVoiced)
                table[kana.semiVoiced - 0x3000] = {half, HalfSemiVoicedMark};
        }
        return table;
    }();
    return forms;
}

bool IsHalfKana(char16_t c)
{
    return c >= HalfKanaFirst && c <= HalfSemiVoicedMark;
}

// Runs convert over the preview, or over its base alone under protection.
template<typename Convert> void ConvertPreview(FileEntry &entry, bool protectExtension, Convert convert)
{
    entry.Preview = ProtectedRewrite(entry.Preview, protectExtension, convert);
}

} // namespace

void CaseName(FileEntry &entry, bool upper, bool protectExtension)
{
    entry.Preview = ProtectedRewrite(entry.Preview.isEmpty() ? entry.Name : entry.Preview, protectExtension,
                                     [upper](const QString &s) { return upper ? s.toUpper() : s.toLower(); });
}

void CaseStepName(FileEntry &entry, int step, bool protectExtension)
{
    if (step == 2)
        ConvertName(entry, ConvertProperCase, protectExtension);
    else
        CaseName(entry, step == 0, protectExtension);
}

void ConvertName(FileEntry &entry, int kind, bool protectExtension)
{
    switch (kind) {
    case ConvertShiftPeriod:
        ShiftPeriodLeft(entry);
        return;
    case ConvertProperCase:
        ConvertPreview(entry, protectExtension, ProperCase);
        return;
    case ConvertToFullWidth:
        ConvertPreview(entry, protectExtension, ToFullWidth);
        return;
    case ConvertToHalfWidth:
        ConvertPreview(entry, protectExtension, ToHalfWidth);
        return;
    case ConvertToKatakana:
        ConvertPreview(entry, protectExtension, ToKatakana);
        return;
    case ConvertToHiragana:
        ConvertPreview(entry, protectExtension, ToHiragana);
        return;
    case ConvertJoinMarks:
        ConvertPreview(entry, protectExtension, JoinMarks);
        return;
    default:
        return;
    }
}

QString ProperCase(QStringView text)
{
    QString result;
    result.reserve(text.size());
    qsizetype start = 0;
    for (;;) {
        qsizetype end = text.indexOf(u' ', start);
        if (end < 0)
            end = text.size();
        const QStringView word = text.sliced(start, end - start);
        if (!word.isEmpty()) {
            const bool pair = word.size() > 1 && word.at(0).isHighSurrogate() && word.at(1).isLowSurrogate();
            const char32_t first =
                pair ? QChar::surrogateToUcs4(word.at(0), word.at(1)) : word.at(0).unicode();
            result += QStringView(QChar::fromUcs4(QChar::toTitleCase(first)));
            result += word.sliced(pair ? 2 : 1).toString().toLower();
        }
        if (end == text.size())
            return result;
        result += u' ';
        start = end + 1;
    }
}

QString ToFullWidth(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        const char16_t c = text.at(k).unicode();
        if (c == u' ') {
            result.append(QChar(u'\u3000'));
        } else if (c >= 0x21 && c <= 0x7E) {
            result.append(QChar(char16_t(c + 0xFEE0)));
        } else if (IsHalfKana(c)) {
            const KanaWidth &kana = HalfKana[c - HalfKanaFirst];
            const char16_t mark = k + 1 < text.size() ? text.at(k + 1).unicode() : 0;
            if (mark == HalfVoicedMark && kana.voiced) {
                result.append(QChar(kana.voiced));
                ++k;
            } else if (mark == HalfSemiVoicedMark && kana.semiVoiced) {
                result.append(QChar(kana.semiVoiced));
                ++k;
            } else {
                result.append(QChar(kana.full));
            }
        } else {
            result.append(QChar(c));
        }
    }
    return result;
}

QString ToHalfWidth(QStringView text)
{
    const std::array<HalfForm, 0x100> &forms = HalfForms();
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == 0x3000) {
            result.append(QChar(u' '));
        } else if (c >= 0xFF01 && c <= 0xFF5E) {
            result.append(QChar(char16_t(c - 0xFEE0)));
        } else if (c > 0x3000 && c <= 0x30FF && forms[c - 0x3000].half) {
            const HalfForm &form = forms[c - 0x3000];
            result.append(QChar(form.half));
            if (form.mark)
                result.append(QChar(form.mark));
        } else {
            result.append(ch);
        }
    }
    return result;
}

// Hiragana U+3041 to U+3096 and the iteration marks ゝゞ stand 0x60 below
// their katakana; nothing else of either script has a counterpart.
QString ToKatakana(QStringView text)
{
    QString result = text.toString();
    for (QChar &ch : result) {
        const char16_t c = ch.unicode();
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            ch = QChar(char16_t(c + 0x60));
    }
    return result;
}

QString ToHiragana(QStringView text)
{
    QString result = text.toString();
    for (QChar &ch : result) {
        const char16_t c = ch.unicode();
        if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE)
            ch = QChar(char16_t(c - 0x60));
    }
    return result;
}

QString JoinMarks(QStringView text)
{
    return text.toString().normalized(QString::NormalizationForm_C);
}
