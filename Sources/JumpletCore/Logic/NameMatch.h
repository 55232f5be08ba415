#pragma once

#include <QList>
#include <QString>

#include <optional>

// Whether a search text matches an application name, and which characters of the name it matched.
namespace NameMatch {

// Character (grapheme) offsets in name, case and accents ignored: the first substring occurrence, else a
// greedy subsequence. Empty for an empty query; nothing when the query does not match.
std::optional<QList<qsizetype>> offsets(const QString& query, const QString& name);

} // namespace NameMatch
