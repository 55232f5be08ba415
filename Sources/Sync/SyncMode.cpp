#include "SyncMode.h"

using namespace Qt::StringLiterals;

QList<SyncMode> SyncModes::allCases()
{
    return {SyncMode::off, SyncMode::iCloud, SyncMode::custom};
}

QString SyncModes::rawValue(SyncMode mode)
{
    switch (mode) {
    case SyncMode::off: return u"off"_s;
    case SyncMode::iCloud: return u"iCloud"_s;
    case SyncMode::custom: return u"custom"_s;
    }
    return {};
}

std::optional<SyncMode> SyncModes::fromRawValue(const QString& rawValue)
{
    for (const SyncMode mode : allCases()) {
        if (SyncModes::rawValue(mode) == rawValue)
            return mode;
    }
    return std::nullopt;
}
