#pragma once

#include "ProcessRunner.h"

#include <QList>
#include <QMutex>

#include <functional>

// Records every run and answers with what the test's responder returns (by default: exit 0, no output).
class SimulatedProcessRunner : public ProcessRunner {
public:
    struct Call {
        QString program;
        QStringList arguments;
        Output output = Output::discard;
    };

    using Responder = std::function<Result(const Call&)>;

    void setResponder(Responder responder);
    QList<Call> calls() const;

    Result run(const QString& program, const QStringList& arguments, Output output) override;

private:
    mutable QMutex mutex;
    Responder responder;
    QList<Call> recorded;
};
