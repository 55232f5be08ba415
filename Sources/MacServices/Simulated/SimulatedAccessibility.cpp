#include "SimulatedAccessibility.h"

#include "SimulatedJournal.h"

using namespace Qt::StringLiterals;

AccessibilityElement SimulatedAccessibility::application(qint64 pid)
{
    QMutexLocker lock(&mutex);
    AccessibilityElement& found = applications[pid];
    if (!found)
        found = element(u"app "_s + QString::number(pid));
    return found;
}

AccessibilityElement SimulatedAccessibility::element(const QString& name,
                                                     QHash<QString, AccessibilityValue> attributes)
{
    auto made = std::make_shared<AccessibilityElementObject>();
    made->name = name;
    made->attributes = std::move(attributes);
    return made;
}

bool SimulatedAccessibility::isProcessTrusted()
{
    return trusted;
}

bool SimulatedAccessibility::isProcessTrustedWithOptions(bool prompt)
{
    if (prompt)
        ++prompts;
    return trusted;
}

AccessibilityElement SimulatedAccessibility::createApplication(qint64 pid)
{
    return application(pid);
}

void SimulatedAccessibility::setMessagingTimeout(const AccessibilityElement& element, float seconds)
{
    QMutexLocker lock(&mutex);
    element->messagingTimeout = seconds;
}

bool SimulatedAccessibility::setAttributeValue(const AccessibilityElement& element, const QString& attribute,
                                               bool value)
{
    QMutexLocker lock(&mutex);
    if (journal) {
        journal->record(
            u"set %1 %2 %3 (timeout %4)"_s.arg(element->name, attribute, value ? u"true"_s : u"false"_s)
                .arg(element->messagingTimeout));
    }
    if (element->refusesSettingAttributes)
        return false;
    element->attributes.insert(attribute, value);
    return true;
}

AccessibilityValue SimulatedAccessibility::copyAttributeValue(const AccessibilityElement& element,
                                                              const QString& attribute)
{
    QMutexLocker lock(&mutex);
    return element->attributes.value(attribute);
}

bool SimulatedAccessibility::performAction(const AccessibilityElement& element, const QString& action)
{
    QMutexLocker lock(&mutex);
    if (journal)
        journal->record(u"perform %1 %2"_s.arg(element->name, action));
    return !element->refusesActions;
}
