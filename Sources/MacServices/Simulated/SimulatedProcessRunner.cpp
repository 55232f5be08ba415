#include "SimulatedProcessRunner.h"

void SimulatedProcessRunner::setResponder(Responder newResponder)
{
    QMutexLocker lock(&mutex);
    responder = std::move(newResponder);
}

QList<SimulatedProcessRunner::Call> SimulatedProcessRunner::calls() const
{
    QMutexLocker lock(&mutex);
    return recorded;
}

ProcessRunner::Result SimulatedProcessRunner::run(const QString& program, const QStringList& arguments,
                                                  Output output)
{
    QMutexLocker lock(&mutex);
    const Call call{program, arguments, output};
    recorded.append(call);
    if (responder)
        return responder(call);
    Result result;
    result.started = true;
    result.exitStatus = 0;
    return result;
}
