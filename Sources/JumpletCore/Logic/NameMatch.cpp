#include "NameMatch.h"

#include "TextFolding.h"

std::optional<QList<qsizetype>> NameMatch::offsets(const QString& query, const QString& name)
{
    if (query.isEmpty())
        return QList<qsizetype>{};

    const QStringList wanted = TextFolding::foldedGraphemes(query);
    const QStringList characters = TextFolding::foldedGraphemes(name);

    // Substring: the first run of name characters that equals the whole query.
    for (qsizetype start = 0; start + wanted.size() <= characters.size(); ++start) {
        qsizetype matched = 0;
        while (matched < wanted.size() && characters.at(start + matched) == wanted.at(matched))
            ++matched;
        if (matched == wanted.size()) {
            QList<qsizetype> result(wanted.size());
            for (qsizetype i = 0; i < wanted.size(); ++i)
                result[i] = start + i;
            return result;
        }
    }

    // Subsequence, greedy from the left; a query character is never skipped.
    QList<qsizetype> result;
    result.reserve(wanted.size());
    for (qsizetype i = 0; i < characters.size() && result.size() < wanted.size(); ++i) {
        if (characters.at(i) == wanted.at(result.size()))
            result.append(i);
    }
    if (result.size() < wanted.size())
        return std::nullopt;
    return result;
}
