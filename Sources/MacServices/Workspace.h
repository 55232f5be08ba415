#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

// A running application as the workspace reports it.
class RunningApplication {
public:
    virtual ~RunningApplication() = default;

    virtual qint64 processIdentifier() const = 0;
    virtual bool isTerminated() const = 0;
    virtual bool isHidden() const = 0;
    virtual bool unhide() = 0;
    // Activation with no options; true when the application agrees.
    virtual bool activate() = 0;
};

// The workspace: running applications, application locations, launching and opening URLs.
class Workspace {
public:
    // Either the launched application or the error's localized description. Called on any thread.
    using OpenCompletion =
        std::function<void(std::shared_ptr<RunningApplication> application, const QString& errorDescription)>;

    virtual ~Workspace() = default;

    virtual QList<std::shared_ptr<RunningApplication>>
    runningApplicationsWithBundleIdentifier(const QString& bundleIdentifier) = 0;
    // The application bundle's path, or nothing when the workspace does not know it.
    virtual std::optional<QString> urlForApplicationWithBundleIdentifier(const QString& bundleIdentifier) = 0;
    virtual void openApplicationAtUrl(const QString& path, bool activates, OpenCompletion completion) = 0;
    // The name the file browser shows for a path.
    virtual QString displayNameAtPath(const QString& path) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
};
