#include "SimulatedJournal.h"

void SimulatedJournal::record(const QString& entry)
{
    QMutexLocker lock(&mutex);
    recorded.append(entry);
}

QStringList SimulatedJournal::entries() const
{
    QMutexLocker lock(&mutex);
    return recorded;
}
