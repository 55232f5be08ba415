#include "Locations.h"

#include "Logic/CanonicalUuid.h"
#include "Model/Profile.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::StringLiterals;

Locations Locations::from(const SyncLocations& locations)
{
    return Locations{locations.local, locations.portable};
}

QString Locations::folderName()
{
    static const QString name = [] {
        const QVariant value =
            QCoreApplication::instance() ? QCoreApplication::instance()->property("JumpletDataFolder") : QVariant();
        return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : u"Jumplet"_s;
    }();
    return name;
}

QStringList Locations::portableFileNames()
{
    return {u"bindings"_s};
}

QString Locations::bindingsFolder(const QUuid& profileID) const
{
    const QString name =
        profileID == Profile::defaultID() ? u"bindings"_s : u"bindings-"_s + CanonicalUuid::format(profileID);
    return QDir(portable).filePath(name);
}
