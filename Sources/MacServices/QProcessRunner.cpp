#include "QProcessRunner.h"

#include <QProcess>

ProcessRunner::Result QProcessRunner::run(const QString& program, const QStringList& arguments, Output output)
{
    QProcess process;
    if (output == Output::discard)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);

    Result result;
    if (!process.waitForStarted(-1)) {
        result.errorString = process.errorString();
        return result;
    }
    result.started = true;
    process.waitForFinished(-1);
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitStatus = process.exitCode();
    if (output == Output::capture)
        result.standardOutput = process.readAllStandardOutput();
    return result;
}
