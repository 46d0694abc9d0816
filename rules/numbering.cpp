#include "rules/numbering.h"

#include "rules/nameparts.h"

#include <QRegularExpression>
#include <cmath>

namespace {

int DigitCount(qint64 number)
{
    return int(QString::number(number < 0 ? -number : number).size());
}

QString PaddedNumber(qint64 number, int width)
{
    const QString digits =
        QStringLiteral("%1").arg(number < 0 ? -number : number, qMax(width, 1), 10, QChar(u'0'));
    return number < 0 ? u'-' + digits : digits;
}

} // namespace

NumberingState PrepareNumbering(const AppSettings &settings, int rowCount)
{
    NumberingState state;
    state.NumberCounter = settings.NumberStart;
    const QString &pattern = settings.NumberPattern;
    state.NumberPatternHasPeriod = pattern.contains(u'.');
    const qsizetype mark = pattern.indexOf(u'?');
    state.NumberPrefix = mark < 0 ? pattern : pattern.first(mark);
    state.NumberSuffix = mark < 0 ? QString() : pattern.sliced(mark + 1);

    if (!settings.NumberZeroPad)
        state.NumberWidth = 1;
    else if (!settings.NumberAutoDigits)
        state.NumberWidth = settings.NumberDigits;
    else
        state.NumberWidth = DigitCount(qint64(settings.NumberStart) + rowCount - 1);
    return state;
}

void NumberName(FileEntry &entry, NumberingState &state, const AppSettings &settings)
{
    QString s =
        state.NumberPrefix + PaddedNumber(state.NumberCounter, state.NumberWidth) + state.NumberSuffix;
    if (!state.NumberPatternHasPeriod || settings.ProtectExtension)
        s += ExtensionOf(entry.Name);
    ++state.NumberCounter;
    entry.Preview = s;
}

std::optional<double> NumericValue(const QString &text)
{
    static const QRegularExpression Number(
        QStringLiteral("^\\s*[+-]?\\s*(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!Number.match(text).hasMatch())
        return std::nullopt;
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("\\s")));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
