#pragma once

#include "Workspace.h"

#include <QHash>
#include <QMutex>

class SimulatedJournal;

// A running application whose answers the test sets; unhide and activate are journaled.
class SimulatedRunningApplication : public RunningApplication {
public:
    SimulatedRunningApplication(qint64 pid, SimulatedJournal* journal) : pid(pid), journal(journal) {}

    qint64 pid;
    bool terminated = false;
    bool hidden = false;
    bool agreesToActivate = true;

    qint64 processIdentifier() const override { return pid; }
    bool isTerminated() const override { return terminated; }
    bool isHidden() const override { return hidden; }
    bool unhide() override;
    bool activate() override;

private:
    SimulatedJournal* journal;
};

// Running applications, application locations and launches set and answered by the test.
class SimulatedWorkspace : public Workspace {
public:
    struct OpenRequest {
        QString path;
        bool activates = false;
        OpenCompletion completion;
    };

    explicit SimulatedWorkspace(SimulatedJournal* journal = nullptr) : journal(journal) {}

    std::shared_ptr<SimulatedRunningApplication> addRunning(const QString& bundleIdentifier, qint64 pid);

    QHash<QString, QString> applicationPaths; // bundle identifier to path
    QHash<QString, QString> displayNames;     // path to name; otherwise the file name without ".app"
    QList<OpenRequest> openRequests;          // launches, to be completed by the test
    QList<QUrl> openedUrls;

    QList<std::shared_ptr<RunningApplication>>
    runningApplicationsWithBundleIdentifier(const QString& bundleIdentifier) override;
    std::optional<QString> urlForApplicationWithBundleIdentifier(const QString& bundleIdentifier) override;
    void openApplicationAtUrl(const QString& path, bool activates, OpenCompletion completion) override;
    QString displayNameAtPath(const QString& path) override;
    bool openUrl(const QUrl& url) override;

private:
    SimulatedJournal* journal;
    QHash<QString, QList<std::shared_ptr<RunningApplication>>> running;
};
