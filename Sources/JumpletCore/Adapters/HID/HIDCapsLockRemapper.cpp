#include "HIDCapsLockRemapper.h"

#include "HIDSystem.h"
#include "PreferenceDomains.h"
#include "ProcessRunner.h"

#include "Logic/PropertyListValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QVariantList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcHIDCapsLockRemapper, "HIDCapsLockRemapper")

namespace {
constexpr std::uint32_t hidParameterConnection = 1;
constexpr int capsLockSelector = 1;

} // namespace

HIDCapsLockRemapper::HIDCapsLockRemapper(ProcessRunner& processes, PreferenceDomains& preferences,
                                         HIDSystem& hid)
    : processes(processes), preferences(preferences), hid(hid)
{
}

bool HIDCapsLockRemapper::apply()
{
    const bool succeeded = run(f18Usage);
    if (succeeded)
        applied = true;
    else
        qCCritical(lcHIDCapsLockRemapper, "failed to apply the Caps Lock remap");
    return succeeded;
}

bool HIDCapsLockRemapper::remove()
{
    const bool succeeded = run(capsLockUsage);
    if (succeeded)
        applied = false;
    else
        qCCritical(lcHIDCapsLockRemapper, "failed to remove the Caps Lock remap");
    return succeeded;
}

bool HIDCapsLockRemapper::run(std::int64_t destinationUsage)
{
    const QJsonObject mapping{{u"HIDKeyboardModifierMappingSrc"_s, qint64(capsLockUsage)},
                              {u"HIDKeyboardModifierMappingDst"_s, qint64(destinationUsage)}};
    const QJsonObject document{{u"UserKeyMapping"_s, QJsonArray{mapping}}};
    const QString json = QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Compact));

    const ProcessRunner::Result result = processes.run(
        u"/usr/bin/hidutil"_s, {u"property"_s, u"--set"_s, json}, ProcessRunner::Output::discard);
    if (!result.started) {
        qCCritical(lcHIDCapsLockRemapper, "could not run hidutil: %ls", qUtf16Printable(result.errorString));
        return false;
    }
    return result.exitStatus == 0;
}

bool HIDCapsLockRemapper::isCapsLockRemappedBySystem()
{
    preferences.synchronizeGlobalDomain();
    const QStringList keys = preferences.copyGlobalDomainKeyList().value_or(QStringList());
    for (const QString& key : keys) {
        if (!key.startsWith("com.apple.keyboard.modifiermapping."_L1))
            continue;
        const QVariant value = preferences.copyGlobalDomainValue(key);
        if (value.typeId() != QMetaType::QVariantList)
            continue;
        const QVariantList mappings = value.toList();
        // A list of dictionaries only; anything else in it makes it not one.
        const bool allDictionaries = std::all_of(mappings.begin(), mappings.end(), [](const QVariant& entry) {
            return entry.typeId() == QMetaType::QVariantMap;
        });
        if (!allDictionaries)
            continue;
        for (const QVariant& entry : mappings) {
            const QVariantMap mapping = entry.toMap();
            const QVariant source = mapping.value(u"HIDKeyboardModifierMappingSrc"_s);
            if (!PropertyListValue::isInteger(source) || source.toLongLong() != capsLockUsage)
                continue;
            const QVariant destination = mapping.value(u"HIDKeyboardModifierMappingDst"_s);
            if (!PropertyListValue::isInteger(destination) || destination.toLongLong() != capsLockUsage)
                return true;
        }
    }
    return false;
}

bool HIDCapsLockRemapper::toggleCapsLock()
{
    const HIDSystem::Object service = hid.getMatchingService();
    if (!service)
        return false;
    const HIDSystem::Object connection = hid.open(service, hidParameterConnection);
    if (!connection) {
        qCCritical(lcHIDCapsLockRemapper, "could not open IOHIDSystem to toggle Caps Lock");
        hid.release(service);
        return false;
    }
    const bool isOn = hid.getModifierLockState(connection, capsLockSelector).value_or(false);
    const bool succeeded = hid.setModifierLockState(connection, capsLockSelector, !isOn);
    if (!succeeded)
        qCCritical(lcHIDCapsLockRemapper, "could not toggle Caps Lock");
    hid.close(connection);
    hid.release(service);
    return succeeded;
}
