#include "QProcessRunner.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestProcessRunner : public QObject {
    Q_OBJECT

private slots:
    void runsAToolAndReportsItsExit();
    void reportsAToolThatCannotStart();
    void outputBeyondThePipeBufferDoesNotBlock();
};

void TestProcessRunner::runsAToolAndReportsItsExit()
{
    QProcessRunner runner;
    const QStringList script{u"-c"_s, u"printf 'out'; echo err >&2; exit 3"_s};

    const ProcessRunner::Result captured = runner.run(u"/bin/sh"_s, script, ProcessRunner::Output::capture);
    QVERIFY(captured.started);
    QCOMPARE(captured.exitStatus, 3);
    QCOMPARE(captured.standardOutput, "out"_ba);

    const ProcessRunner::Result discarded = runner.run(u"/bin/sh"_s, script, ProcessRunner::Output::discard);
    QCOMPARE(discarded.exitStatus, 3);
    QVERIFY(discarded.standardOutput.isEmpty());

    const ProcessRunner::Result killed =
        runner.run(u"/bin/sh"_s, {u"-c"_s, u"kill -9 $$"_s}, ProcessRunner::Output::discard);
    QVERIFY(killed.started);
    QCOMPARE(killed.exitStatus, -1);
}

void TestProcessRunner::reportsAToolThatCannotStart()
{
    QProcessRunner runner;
    const ProcessRunner::Result result =
        runner.run(u"/nonexistent/tool"_s, {}, ProcessRunner::Output::capture);
    QVERIFY(!result.started);
    QVERIFY(!result.errorString.isEmpty());
}

void TestProcessRunner::outputBeyondThePipeBufferDoesNotBlock()
{
    // A tool that writes more than a pipe holds before it exits would hang a wait-then-read runner.
    QProcessRunner runner;
    const ProcessRunner::Result result = runner.run(
        u"/bin/sh"_s, {u"-c"_s, u"head -c 1000000 /dev/zero | tr '\\0' x"_s}, ProcessRunner::Output::capture);
    QCOMPARE(result.exitStatus, 0);
    QCOMPARE(result.standardOutput.size(), 1000000);
}

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
