#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs a tool and waits for it. Standard error is discarded. Callable from any thread.
class ProcessRunner {
public:
    enum class Output { discard, capture };

    struct Result {
        bool started = false;
        QString errorString; // why it did not start
        int exitStatus = -1; // -1 when it did not exit normally
        QByteArray standardOutput;
    };

    virtual ~ProcessRunner() = default;

    virtual Result run(const QString& program, const QStringList& arguments, Output output) = 0;
};
