#include "MacSystemValues.h"

#include "Logic/NextWindowShortcut.h"
#include "Logic/PropertyListValue.h"
#include "PreferenceDomains.h"
#include "SecureEventInput.h"

#include <QVariantMap>

using namespace Qt::StringLiterals;

MacSystemValues::MacSystemValues(SecureEventInput& secureEventInput, PreferenceDomains& preferences)
    : m_secureEventInput(secureEventInput), m_preferences(preferences)
{
}

bool MacSystemValues::isSecureInputEnabled()
{
    return m_secureEventInput.isSecureEventInputEnabled();
}

bool MacSystemValues::isNextWindowShortcutOff()
{
    return !NextWindowShortcut::from(
        m_preferences.suiteValue(u"com.apple.symbolichotkeys"_s, u"AppleSymbolicHotKeys"_s));
}

bool MacSystemValues::isLauncherHyperKeyOnCapsLock()
{
    const QVariant state = m_preferences.suiteValue(u"com.raycast.macos"_s, u"raycast_hyperKey_state"_s);
    if (state.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap map = state.toMap();
    const QVariant enabled = map.value(u"enabled"_s);
    const QVariant keyCode = map.value(u"keyCode"_s);
    return PropertyListValue::isBoolean(enabled) && enabled.toBool() &&
           PropertyListValue::isInteger(keyCode) && keyCode.toLongLong() == 57;
}
