#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <variant>

// An accessibility element; each implementation defines what it holds.
class AccessibilityElementObject;
using AccessibilityElement = std::shared_ptr<AccessibilityElementObject>;

// An attribute value as the adapters read it: missing or failed (monostate), or one of the kinds they use.
using AccessibilityValue =
    std::variant<std::monostate, bool, QString, AccessibilityElement, QList<AccessibilityElement>>;

// The accessibility interface. Callable from any thread.
class AccessibilityServices {
public:
    virtual ~AccessibilityServices() = default;

    virtual bool isProcessTrusted() = 0;
    // Asks the system to show its prompt when prompt is true; answers like isProcessTrusted().
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;

    virtual AccessibilityElement createApplication(qint64 pid) = 0;
    virtual void setMessagingTimeout(const AccessibilityElement& element, float seconds) = 0;
    // True when the call succeeded.
    virtual bool setAttributeValue(const AccessibilityElement& element, const QString& attribute,
                                   bool value) = 0;
    virtual AccessibilityValue copyAttributeValue(const AccessibilityElement& element,
                                                  const QString& attribute) = 0;
    virtual bool performAction(const AccessibilityElement& element, const QString& action) = 0;
};
