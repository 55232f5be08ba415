#pragma once

#include <QString>

// The result of asking for an application to be brought forward.
struct ActivationOutcome {
    enum class Kind { launched, activated, cycledToNextWindow, failed };

    Kind kind = Kind::failed;
    QString reason; // only for failed

    static ActivationOutcome launched() { return {Kind::launched, {}}; }
    static ActivationOutcome activated() { return {Kind::activated, {}}; }
    static ActivationOutcome cycledToNextWindow() { return {Kind::cycledToNextWindow, {}}; }
    static ActivationOutcome failed(const QString& reason) { return {Kind::failed, reason}; }

    bool isSuccess() const { return kind != Kind::failed; }

    // The case name as log lines show it.
    QString caseName() const;

    friend bool operator==(const ActivationOutcome& a, const ActivationOutcome& b)
    {
        return a.kind == b.kind && (a.kind != Kind::failed || a.reason == b.reason);
    }
};
