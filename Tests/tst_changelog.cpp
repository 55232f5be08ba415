#include "Logic/ChangelogParser.h"

#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;
using Kind = ChangelogChange::Kind;

Q_DECLARE_METATYPE(QList<ChangelogEntry>)

class ChangelogTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void invalidUtf8GivesNothing();
    void shippedChangelogParses();
};

void ChangelogTest::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<ChangelogEntry>>("expected");

    QTest::newRow("empty") << u""_s << QList<ChangelogEntry>{};
    QTest::newRow("no release heading")
        << u"# Title\n### New: Ignored\ndetail\n"_s << QList<ChangelogEntry>{};
    QTest::newRow("example")
        << u"# Changelog\n## 1.4 (12 March 2025)\n### New: Profiles\nSwitch sets of bindings.\n\n### Fix: Crash\n## 1.3\n"_s
        << QList<ChangelogEntry>{{u"1.4"_s,
                                  u"12 March 2025"_s,
                                  {{Kind::newFeature, u"Profiles"_s, u"Switch sets of bindings."_s},
                                   {Kind::fix, u"Crash"_s, u""_s}}},
                                 {u"1.3"_s, u""_s, {}}};
    QTest::newRow("heading trimmed, date kept as written")
        << u"##  \t2.0 \t( soon ) trailing \n"_s << QList<ChangelogEntry>{{u"2.0"_s, u" soon "_s, {}}};
    QTest::newRow("closing before opening parenthesis")
        << u"## 2.0 ) x (\n"_s << QList<ChangelogEntry>{{u"2.0 ) x ("_s, u""_s, {}}};
    QTest::newRow("unknown kinds drop their detail")
        << u"## 1\n### new: lower\ndropped\n### Feature: other\ndropped\n### Improved:  Speed \nkept\n"_s
        << QList<ChangelogEntry>{{u"1"_s, u""_s, {{Kind::improved, u"Speed"_s, u"kept"_s}}}};
    QTest::newRow("heading without colon is detail")
        << u"## 1\n### Fix: A\n### not a heading\n"_s
        << QList<ChangelogEntry>{{u"1"_s, u""_s, {{Kind::fix, u"A"_s, u"### not a heading"_s}}}};
    QTest::newRow("blank lines inside kept, outside trimmed, lines not trimmed")
        << u"## 1\n### New: A\n\n  one\n\ntwo  \n\n"_s
        << QList<ChangelogEntry>{{u"1"_s, u""_s, {{Kind::newFeature, u"A"_s, u"one\n\ntwo"_s}}}};
    QTest::newRow("any newline") << u"## 1\r\n### New: A\r\nx\r\ny\u2028## 2"_s
                                 << QList<ChangelogEntry>{
                                        {u"1"_s, u""_s, {{Kind::newFeature, u"A"_s, u"x\ny"_s}}},
                                        {u"2"_s, u""_s, {}}};
    QTest::newRow("title after the first colon")
        << u"## 1\n### Fix: a: b\n"_s
        << QList<ChangelogEntry>{{u"1"_s, u""_s, {{Kind::fix, u"a: b"_s, u""_s}}}};
}

void ChangelogTest::parse()
{
    QFETCH(QString, text);
    QFETCH(QList<ChangelogEntry>, expected);

    const QList<ChangelogEntry> entries = ChangelogParser::parse(text);
    QCOMPARE(entries.size(), expected.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i).version, expected.at(i).version);
        QCOMPARE(entries.at(i).date, expected.at(i).date);
        QCOMPARE(entries.at(i).changes.size(), expected.at(i).changes.size());
        for (qsizetype j = 0; j < entries.at(i).changes.size(); ++j) {
            QCOMPARE(entries.at(i).changes.at(j).title, expected.at(i).changes.at(j).title);
            QCOMPARE(entries.at(i).changes.at(j).detail, expected.at(i).changes.at(j).detail);
            QVERIFY(entries.at(i).changes.at(j).kind == expected.at(i).changes.at(j).kind);
        }
    }
}

void ChangelogTest::invalidUtf8GivesNothing()
{
    QCOMPARE(ChangelogParser::parse(QByteArray("## 1.0\n")).size(), 1);
    QVERIFY(ChangelogParser::parse(QByteArray("## 1.0 \xff\xfe\n")).isEmpty());
}

void ChangelogTest::shippedChangelogParses()
{
    QFile file(QStringLiteral(JUMPLET_SOURCE_DIR "/Resources/CHANGELOG.md"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<ChangelogEntry> entries = ChangelogParser::parse(file.readAll());
    QVERIFY(!entries.isEmpty());
    QCOMPARE(entries.first().version, u"1.0.0"_s);
    QVERIFY(!entries.first().changes.isEmpty());
    for (const ChangelogChange& change : entries.first().changes)
        QVERIFY(!change.detail.isEmpty());
}

QTEST_GUILESS_MAIN(ChangelogTest)
#include "tst_changelog.moc"
