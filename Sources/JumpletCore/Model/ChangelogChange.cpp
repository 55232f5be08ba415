#include "ChangelogChange.h"

using namespace Qt::StringLiterals;

std::optional<ChangelogChange::Kind> ChangelogChange::kindFromRawValue(const QString& rawValue)
{
    if (rawValue == u"Fix"_s)
        return Kind::fix;
    if (rawValue == u"Improved"_s)
        return Kind::improved;
    if (rawValue == u"New"_s)
        return Kind::newFeature;
    return std::nullopt;
}

QString ChangelogChange::rawValue(Kind kind)
{
    switch (kind) {
    case Kind::fix:
        return u"Fix"_s;
    case Kind::improved:
        return u"Improved"_s;
    case Kind::newFeature:
        return u"New"_s;
    }
    return {};
}
