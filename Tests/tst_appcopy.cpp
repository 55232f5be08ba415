#include "AppCopy.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAppCopy : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AppCopy::install(); }

    void textsComeFromTheCompiledTable()
    {
        QCOMPARE(AppCopy::Profiles::defaultName(), u"Default"_s);
        QCOMPARE(AppCopy::Profiles::copyName(u"Work"_s), u"Work Copy"_s);
    }

    void aMissingKeyShowsTheKey() { QCOMPARE(AppCopy::text("common.noSuchText"), u"common.noSuchText"_s); }
};

QTEST_GUILESS_MAIN(TestAppCopy)
#include "tst_appcopy.moc"
