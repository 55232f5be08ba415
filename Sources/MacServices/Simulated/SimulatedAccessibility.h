#pragma once

#include "AccessibilityServices.h"

#include <QHash>
#include <QMutex>
#include <QStringList>

class SimulatedJournal;

// An element of the simulated accessibility tree.
class AccessibilityElementObject {
public:
    QString name; // how the journal names it
    QHash<QString, AccessibilityValue> attributes;
    bool refusesSettingAttributes = false;
    bool refusesActions = false;
    float messagingTimeout = 0;
};

// Application elements by process, each with attributes and actions; calls are journaled.
class SimulatedAccessibility : public AccessibilityServices {
public:
    explicit SimulatedAccessibility(SimulatedJournal* journal = nullptr) : journal(journal) {}

    bool trusted = false;
    int prompts = 0;

    // The element of a process, made on first use.
    AccessibilityElement application(qint64 pid);
    static AccessibilityElement element(const QString& name,
                                        QHash<QString, AccessibilityValue> attributes = {});

    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;
    AccessibilityElement createApplication(qint64 pid) override;
    void setMessagingTimeout(const AccessibilityElement& element, float seconds) override;
    bool setAttributeValue(const AccessibilityElement& element, const QString& attribute,
                           bool value) override;
    AccessibilityValue copyAttributeValue(const AccessibilityElement& element,
                                          const QString& attribute) override;
    bool performAction(const AccessibilityElement& element, const QString& action) override;

private:
    SimulatedJournal* journal;
    QMutex mutex;
    QHash<qint64, AccessibilityElement> applications;
};
