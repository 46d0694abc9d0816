#include "platform/wildcard.h"

Wildcard::Wildcard(const QString &pattern) : m_folded(pattern.toCaseFolded())
{
    m_everything = pattern.isEmpty() || pattern == u"*.*";
    if (!m_everything) {
        m_everything = true;
        for (QChar c : pattern)
            m_everything = m_everything && c == u'*';
    }
}

bool Wildcard::Matches(QStringView name) const
{
    if (m_everything)
        return true;
    const QString folded = name.toString().toCaseFolded();
    const QStringView p = m_folded;
    const QStringView s = folded;
    qsizetype pi = 0, si = 0;
    qsizetype starP = -1, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == u'?' || p[pi] == s[si])) {
            ++pi, ++si;
        } else if (pi < p.size() && p[pi] == u'*') {
            starP = pi++;
            starS = si;
        } else if (starP >= 0) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}
