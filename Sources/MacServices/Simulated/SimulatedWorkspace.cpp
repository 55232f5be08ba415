#include "SimulatedWorkspace.h"

#include "SimulatedJournal.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

bool SimulatedRunningApplication::unhide()
{
    if (journal)
        journal->record(u"unhide "_s + QString::number(pid));
    hidden = false;
    return true;
}

bool SimulatedRunningApplication::activate()
{
    if (journal)
        journal->record(u"activate "_s + QString::number(pid));
    return agreesToActivate;
}

std::shared_ptr<SimulatedRunningApplication> SimulatedWorkspace::addRunning(const QString& bundleIdentifier,
                                                                            qint64 pid)
{
    auto application = std::make_shared<SimulatedRunningApplication>(pid, journal);
    running[bundleIdentifier].append(application);
    return application;
}

QList<std::shared_ptr<RunningApplication>>
SimulatedWorkspace::runningApplicationsWithBundleIdentifier(const QString& bundleIdentifier)
{
    return running.value(bundleIdentifier);
}

std::optional<QString>
SimulatedWorkspace::urlForApplicationWithBundleIdentifier(const QString& bundleIdentifier)
{
    const auto found = applicationPaths.constFind(bundleIdentifier);
    if (found == applicationPaths.constEnd())
        return std::nullopt;
    return *found;
}

void SimulatedWorkspace::openApplicationAtUrl(const QString& path, bool activates, OpenCompletion completion)
{
    if (journal)
        journal->record(u"open "_s + path);
    openRequests.append({path, activates, std::move(completion)});
}

QString SimulatedWorkspace::displayNameAtPath(const QString& path)
{
    return displayNames.value(path, QFileInfo(path).completeBaseName());
}

bool SimulatedWorkspace::openUrl(const QUrl& url)
{
    openedUrls.append(url);
    return true;
}
