#pragma once

#include "ProcessRunner.h"

// Runs tools with QProcess; works on every host.
class QProcessRunner : public ProcessRunner {
public:
    Result run(const QString& program, const QStringList& arguments, Output output) override;
};
