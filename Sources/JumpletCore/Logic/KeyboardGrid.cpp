#include "KeyboardGrid.h"

#include "LetterKeyCode.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const KeyboardGrid::Row& numberRow()
{
    static const KeyboardGrid::Row row{{18, 19, 20, 21, 23, 22, 26, 28, 25, 29}, 1.0};
    return row;
}

const QList<KeyboardGrid::Row>& letterRows()
{
    static const QList<KeyboardGrid::Row> rows = {
        {{12, 13, 14, 15, 17, 16, 32, 34, 31, 35}, 1.0},
        {{0, 1, 2, 3, 5, 4, 38, 40, 37}, 1.25},
        {{6, 7, 8, 9, 11, 45, 46}, 1.75},
    };
    return rows;
}

const KeyboardGrid::Row& symbolRow()
{
    static const KeyboardGrid::Row row{{50, 27, 24, 33, 30, 42, 41, 39, 43, 47, 44, 10}, 0.0};
    return row;
}

const QStringList& digitCaptions()
{
    static const QStringList captions = {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s,
                                         u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"0"_s};
    return captions;
}

const QStringList& symbolCaptions()
{
    static const QStringList captions = {u"`"_s, u"-"_s, u"="_s, u"["_s, u"]"_s, u"\\"_s,
                                         u";"_s, u"'"_s, u","_s, u"."_s, u"/"_s, u"§"_s};
    return captions;
}

} // namespace

QList<KeyboardGrid::Row> KeyboardGrid::rows(bool showingNumbers, bool showingSymbols)
{
    QList<Row> result;
    if (showingNumbers)
        result.append(numberRow());
    result.append(letterRows());
    if (showingSymbols)
        result.append(symbolRow());

    const double smallest = std::min_element(result.cbegin(), result.cend(), [](const Row& a, const Row& b) {
                                return a.indent < b.indent;
                            })->indent;
    for (Row& row : result)
        row.indent -= smallest;
    return result;
}

KeyboardGrid::Position KeyboardGrid::move(Position from, Direction direction, const QList<Row>& rows)
{
    const Row& current = rows.at(from.row);
    switch (direction) {
    case Direction::left:
        return {from.row, std::max<qsizetype>(from.column - 1, 0)};
    case Direction::right:
        return {from.row, std::min<qsizetype>(from.column + 1, current.keyCodes.size() - 1)};
    case Direction::up:
    case Direction::down:
        break;
    }

    const qsizetype targetRow = direction == Direction::up ? from.row - 1 : from.row + 1;
    if (targetRow < 0 || targetRow >= rows.size() || rows.at(targetRow).keyCodes.isEmpty())
        return from;
    const Row& target = rows.at(targetRow);
    const double x = double(from.column) + current.indent - target.indent;
    const auto column = qsizetype(std::round(x)); // std::round rounds halves away from zero
    return {targetRow, std::clamp<qsizetype>(column, 0, target.keyCodes.size() - 1)};
}

const QSet<PhysicalKeyCode>& KeyboardGrid::keyCodes()
{
    static const QSet<PhysicalKeyCode> codes = [] {
        const QList<PhysicalKeyCode> labelled = qwertyLabels().keys();
        return QSet<PhysicalKeyCode>(labelled.cbegin(), labelled.cend());
    }();
    return codes;
}

const QHash<PhysicalKeyCode, QString>& KeyboardGrid::qwertyLabels()
{
    static const QHash<PhysicalKeyCode, QString> labels = [] {
        QHash<PhysicalKeyCode, QString> table;
        for (auto letter = LetterKeyCode::codes().cbegin(); letter != LetterKeyCode::codes().cend(); ++letter)
            table.insert(letter.value(), letter.key());
        for (qsizetype i = 0; i < numberRow().keyCodes.size(); ++i)
            table.insert(numberRow().keyCodes.at(i), digitCaptions().at(i));
        for (qsizetype i = 0; i < symbolRow().keyCodes.size(); ++i)
            table.insert(symbolRow().keyCodes.at(i), symbolCaptions().at(i));
        return table;
    }();
    return labels;
}
