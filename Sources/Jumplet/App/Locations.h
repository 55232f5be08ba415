#pragma once

#include "SyncLocations.h"

#include <QStringList>
#include <QUuid>

// The application's two data folders and the names it keeps in them.
struct Locations {
    QString local;
    QString portable;

    static Locations from(const SyncLocations& locations);

    // "Jumplet", unless the application object carries another name in its "JumpletDataFolder" property;
    // read once.
    static QString folderName();
    // What synchronisation carries to the portable folder: the default profile's bindings only.
    static QStringList portableFileNames();

    // "bindings" for the default profile, "bindings-<UPPER-CASE ID>" for any other, inside portable.
    QString bindingsFolder(const QUuid& profileID) const;

    friend bool operator==(const Locations&, const Locations&) = default;
};
