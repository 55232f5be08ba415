#pragma once

#include "ChangelogChange.h"

#include <QList>
#include <QString>

// One release of the changelog.
struct ChangelogEntry {
    QString version;
    QString date; // free text as written, possibly empty
    QList<ChangelogChange> changes;

    friend bool operator==(const ChangelogEntry&, const ChangelogEntry&) = default;
};
