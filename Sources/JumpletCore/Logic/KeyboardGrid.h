#pragma once

#include "Model/PhysicalKeyCode.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// The fixed, positional model of the keyboard picture: rows of key codes and arrow navigation between them.
namespace KeyboardGrid {

struct Row {
    QList<PhysicalKeyCode> keyCodes;
    double indent = 0; // in key widths, from the left edge

    friend bool operator==(const Row&, const Row&) = default;
};

enum class Direction { left, right, up, down };

struct Position {
    qsizetype row = 0;
    qsizetype column = 0;

    friend bool operator==(const Position&, const Position&) = default;
};

// The letter rows, with the number row above and the symbol row below when shown; the leftmost row starts at
// 0.
QList<Row> rows(bool showingNumbers, bool showingSymbols);

// Where the selection goes from a position that exists in rows; it never wraps.
Position move(Position from, Direction direction, const QList<Row>& rows);

// All 48 key codes of the picture, whichever rows are shown.
const QSet<PhysicalKeyCode>& keyCodes();

// The QWERTY caption of each of those keys.
const QHash<PhysicalKeyCode, QString>& qwertyLabels();

} // namespace KeyboardGrid
