#pragma once

#include <QString>
#include <QStringList>

// Text forms for comparisons that ignore letter case and accents.
namespace TextFolding {

// The grapheme clusters of a text, in order.
QStringList graphemes(const QString& text);

// One grapheme without its combining marks and case-folded: "É" and "e" fold alike.
QString foldGrapheme(const QString& grapheme);

// The folded form of each grapheme of a text.
QStringList foldedGraphemes(const QString& text);

// Full upper-case mapping: "ß" becomes "SS".
QString upperCased(const QString& text);

} // namespace TextFolding
