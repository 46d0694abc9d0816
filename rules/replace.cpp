#include "rules/replace.h"

#include "rules/nameparts.h"

Replacer::Replacer(const AppSettings &settings)
    : m_settings(settings), m_case(settings.ReplaceCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive)
{
    if (!settings.ReplaceRegex)
        return;
    m_expression = ReplaceExpression(settings.ReplaceFrom, settings.ReplaceCaseSensitive);
    // The replacement is split once: "$" and a digit name a group; any other
    // "$" is itself.
    const QString &to = settings.ReplaceTo;
    QString literal;
    for (qsizetype k = 0; k < to.size(); ++k) {
        if (to.at(k) == u'$' && k + 1 < to.size() && to.at(k + 1).isDigit() &&
            to.at(k + 1).unicode() < 0x80) {
            if (!literal.isEmpty())
                m_pieces.push_back({std::exchange(literal, QString()), -1});
            m_pieces.push_back({QString(), to.at(++k).unicode() - u'0'});
        } else {
            literal += to.at(k);
        }
    }
    if (!literal.isEmpty())
        m_pieces.push_back({literal, -1});
}

QString Replacer::Rewrite(const QString &name) const
{
    if (m_settings.ReplaceFrom.isEmpty() || (m_expression && !m_expression->isValid()))
        return name;
    return ProtectedRewrite(name, m_settings.ProtectExtension, [this](const QString &s) {
        return m_expression ? ReplaceMatches(s) : ReplaceText(s);
    });
}

QString Replacer::ReplaceText(QString s) const
{
    const QString &from = m_settings.ReplaceFrom;
    if (m_settings.ReplaceAll)
        return s.replace(from, m_settings.ReplaceTo, m_case);
    // Case folding keeps the length, so the match is as long as the search text.
    const qsizetype at =
        m_settings.ReplaceFromTop ? s.indexOf(from, 0, m_case) : s.lastIndexOf(from, -1, m_case);
    if (at >= 0)
        s.replace(at, from.size(), m_settings.ReplaceTo);
    return s;
}

QString Replacer::ReplaceMatches(const QString &s) const
{
    // The matches of one scan from the left, which never stops on an empty
    // match: the first, the last of them, or each in turn.
    QRegularExpressionMatchIterator matches = m_expression->globalMatch(s);
    QString out;
    qsizetype done = 0;
    QRegularExpressionMatch chosen;
    while (matches.hasNext()) {
        chosen = matches.next();
        if (!m_settings.ReplaceAll && m_settings.ReplaceFromTop)
            break;
        if (m_settings.ReplaceAll) {
            out += QStringView(s).sliced(done, chosen.capturedStart() - done);
            AppendReplacement(out, chosen);
            done = chosen.capturedEnd();
        }
    }
    if (!m_settings.ReplaceAll) {
        if (!chosen.hasMatch())
            return s;
        out += QStringView(s).first(chosen.capturedStart());
        AppendReplacement(out, chosen);
        done = chosen.capturedEnd();
    }
    out += QStringView(s).sliced(done);
    return out;
}

void Replacer::AppendReplacement(QString &out, const QRegularExpressionMatch &match) const
{
    for (const Piece &piece : m_pieces)
        out += piece.group < 0 ? QStringView(piece.text) : match.capturedView(piece.group);
}

void ReplaceName(FileEntry &entry, const AppSettings &settings)
{
    entry.Preview = Replacer(settings).Rewrite(entry.Name);
}

QRegularExpression ReplaceExpression(const QString &pattern, bool caseSensitive)
{
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (!caseSensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, options);
}
