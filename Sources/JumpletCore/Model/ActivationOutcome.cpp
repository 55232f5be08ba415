#include "ActivationOutcome.h"

using namespace Qt::StringLiterals;

QString ActivationOutcome::caseName() const
{
    switch (kind) {
    case Kind::launched:
        return u"launched"_s;
    case Kind::activated:
        return u"activated"_s;
    case Kind::cycledToNextWindow:
        return u"cycledToNextWindow"_s;
    case Kind::failed:
        return u"failed"_s;
    }
    return {};
}
