#pragma once

#include <QMutex>
#include <QStringList>

// One ordered record of calls shared by several simulated services, so tests can check their order.
class SimulatedJournal {
public:
    void record(const QString& entry);
    QStringList entries() const;

private:
    mutable QMutex mutex;
    QStringList recorded;
};
