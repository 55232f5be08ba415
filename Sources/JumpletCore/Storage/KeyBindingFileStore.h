#pragma once

#include "Ports/KeyBindingStorePort.h"

#include <QObject>
#include <QString>

class QFileSystemWatcher;

// The bindings of one profile as one JSON file per key, "<key code>.json", in one folder, watched for
// changes made by anyone else (another machine through a synchronised folder, or this application).
// Unreadable files are skipped and never modified.
class KeyBindingFileStore : public QObject, public KeyBindingStorePort {
    Q_OBJECT

public:
    // Creates the folder when missing; a failure shows up later as an empty folder.
    explicit KeyBindingFileStore(const QString& folder, QObject* parent = nullptr);

    QList<KeyBinding> load() override;
    // Rewrites only the files whose content differs and never deletes.
    void save(const QList<KeyBinding>& bindings) override;
    void remove(PhysicalKeyCode keyCode) override;

    std::function<void()> onExternalChange() const override;
    void setOnExternalChange(std::function<void()> callback) override;

private:
    QString fileFor(PhysicalKeyCode keyCode) const;
    void rearmWatch();

    QString m_folder;
    QFileSystemWatcher* m_watch = nullptr;
    std::function<void()> m_onExternalChange;
};
