#pragma once

#include <QString>
#include <QStringView>

// A file-name wildcard: "*" matches any run of characters, "?" any one
// character, letter case is ignored. "*", "*.*" and the empty pattern match
// every name, names without a period included.
class Wildcard final
{
public:
    explicit Wildcard(const QString &pattern);

    bool Matches(QStringView name) const;
    bool MatchesEverything() const { return m_everything; }

private:
    QString m_folded;
    bool m_everything = false;
};
