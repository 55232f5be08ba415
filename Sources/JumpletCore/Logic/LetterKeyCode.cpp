#include "LetterKeyCode.h"

using namespace Qt::StringLiterals;

const QHash<QString, PhysicalKeyCode>& LetterKeyCode::codes()
{
    static const QHash<QString, PhysicalKeyCode> table = {
        {u"A"_s, 0},  {u"B"_s, 11}, {u"C"_s, 8},  {u"D"_s, 2},  {u"E"_s, 14}, {u"F"_s, 3},  {u"G"_s, 5},
        {u"H"_s, 4},  {u"I"_s, 34}, {u"J"_s, 38}, {u"K"_s, 40}, {u"L"_s, 37}, {u"M"_s, 46}, {u"N"_s, 45},
        {u"O"_s, 31}, {u"P"_s, 35}, {u"Q"_s, 12}, {u"R"_s, 15}, {u"S"_s, 1},  {u"T"_s, 17}, {u"U"_s, 32},
        {u"V"_s, 9},  {u"W"_s, 13}, {u"X"_s, 7},  {u"Y"_s, 16}, {u"Z"_s, 6},
    };
    return table;
}
