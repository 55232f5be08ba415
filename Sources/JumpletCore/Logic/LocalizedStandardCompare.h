#pragma once

#include <QString>

// The ordering a file browser uses: letter case ignored, runs of digits compared by value (F2 before F10).
namespace LocalizedStandardCompare {

// Negative, zero or positive as a sorts before, with or after b.
int compare(const QString& a, const QString& b);

inline bool lessThan(const QString& a, const QString& b)
{
    return compare(a, b) < 0;
}

} // namespace LocalizedStandardCompare
