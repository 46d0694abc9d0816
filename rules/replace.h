#pragma once

#include "engine/fileentry.h"
#include "settings/appsettings.h"

#include <QRegularExpression>
#include <optional>
#include <vector>

// Rewrites names by the replace settings, made once for a pass over every
// row: ReplaceFrom, as plain text or (ReplaceRegex) as a Perl-compatible
// regular expression, is replaced by ReplaceTo in its first occurrence, its
// last (ReplaceFromTop cleared) or all of them (ReplaceAll). In a regular
// expression's replacement "$0" stands for the match and "$1" to "$9" for its
// groups. Only the base is searched while ProtectExtension is set.
class Replacer final
{
public:
    explicit Replacer(const AppSettings &settings);

    // The current name with the replacement made; a name without a match,
    // like any name when the expression is invalid, gives itself back.
    QString Rewrite(const QString &name) const;

private:
    // A piece of the replacement: literal text, or a group's text.
    struct Piece
    {
        QString text;
        int group = -1;
    };

    QString ReplaceText(QString s) const;
    QString ReplaceMatches(const QString &s) const;
    void AppendReplacement(QString &out, const QRegularExpressionMatch &match) const;

    const AppSettings &m_settings;
    Qt::CaseSensitivity m_case;
    std::optional<QRegularExpression> m_expression;
    std::vector<Piece> m_pieces;
};

// Sets the preview to the current name rewritten by a Replacer.
void ReplaceName(FileEntry &entry, const AppSettings &settings);

// The regular expression a search text stands for, ignoring letter case
// unless caseSensitive; \w, \d and the like know every script.
QRegularExpression ReplaceExpression(const QString &pattern, bool caseSensitive);
