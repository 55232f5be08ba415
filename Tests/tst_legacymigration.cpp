#include "Storage/JumpCountsJSONStore.h"
#include "Storage/KeyBindingFileStore.h"
#include "Storage/LegacyBindingsMigration.h"

#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString id(int n)
{
    return u"00000000-0000-0000-0000-%1"_s.arg(n, 12, 10, QChar(u'0'));
}

QByteArray entry(int n, int keyCode, qint64 jumps, const QString& app = u"App"_s)
{
    return u"{\"id\":\"%1\",\"key\":{\"keyCode\":%2,\"label\":\"K%2\"},\"bundleIdentifier\":\"com.example.%3\","
           "\"appName\":\"%3\",\"createdAt\":\"2025-03-01T09:30:00Z\",\"jumps\":%4}"_s.arg(id(n))
        .arg(keyCode)
        .arg(app)
        .arg(jumps)
        .toUtf8();
}

QByteArray legacy(const QList<QByteArray>& entries)
{
    return '[' + entries.join(',') + ']';
}

} // namespace

class LegacyMigrationTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void nothingToMigrate();
    void migratesBindingsAndCounts_data();
    void migratesBindingsAndCounts();
    void existingBindingFileWins();
    void malformedLegacyFileStaysInPlace_data();
    void malformedLegacyFileStaysInPlace();
    void staleMigratedFileIsReplaced();
    void unwritableBindingSkipsItsJumps();
    void unreadableJumpsFileIsMovedAsideNotOverwritten();

private:
    void migrate();
    QString bindingFile(int keyCode) const { return QDir(m_bindings).filePath(u"%1.json"_s.arg(keyCode)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_legacy;
    QString m_migrated;
    QString m_bindings;
    QString m_jumps;
};

void LegacyMigrationTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_legacy = m_dir->filePath(u"key-bindings.json"_s);
    m_migrated = m_dir->filePath(u"key-bindings.migrated.json"_s);
    m_bindings = m_dir->filePath(u"bindings"_s);
    m_jumps = m_dir->filePath(u"jumps.json"_s);
}

void LegacyMigrationTest::migrate()
{
    LegacyBindingsMigration::migrateIfNeeded(m_legacy, m_bindings, m_jumps);
}

void LegacyMigrationTest::nothingToMigrate()
{
    migrate();
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void LegacyMigrationTest::migratesBindingsAndCounts_data()
{
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<QByteArray>("existingJumps"); // empty: no file
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<JumpCounts>("counts"); // empty: no jumps.json afterwards

    QTest::newRow("two keys, zero jumps left out")
        << QList<QByteArray>{entry(1, 0, 12), entry(2, 1, 0)} << QByteArray()
        << QStringList{u"0.json"_s, u"1.json"_s} << JumpCounts{{id(1), 12}};
    QTest::newRow("no jumps at all: no jump file") << QList<QByteArray>{entry(1, 0, 0), entry(2, 1, 0)}
                                                   << QByteArray() << QStringList{u"0.json"_s, u"1.json"_s}
                                                   << JumpCounts();
    QTest::newRow("existing counts win, others kept")
        << QList<QByteArray>{entry(1, 0, 12), entry(2, 1, 5)}
        << QByteArray(R"({"00000000-0000-0000-0000-000000000001": 3, "OTHER": 9})")
        << QStringList{u"0.json"_s, u"1.json"_s} << JumpCounts{{id(1), 3}, {id(2), 5}, {u"OTHER"_s, 9}};
    QTest::newRow("two entries on one key: first written, both counted")
        << QList<QByteArray>{entry(1, 4, 2, u"First"_s), entry(2, 4, 7, u"Second"_s)} << QByteArray()
        << QStringList{u"4.json"_s} << JumpCounts{{id(1), 2}, {id(2), 7}};
    QTest::newRow("empty list") << QList<QByteArray>{} << QByteArray() << QStringList() << JumpCounts();
}

void LegacyMigrationTest::migratesBindingsAndCounts()
{
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QByteArray, existingJumps);
    QFETCH(QStringList, files);
    QFETCH(JumpCounts, counts);
    const QByteArray content = legacy(entries);
    writeBytes(m_legacy, content);
    if (!existingJumps.isEmpty())
        writeBytes(m_jumps, existingJumps);

    migrate();

    QStringList written = QDir(m_bindings).entryList(QDir::Files);
    written.sort();
    QCOMPARE(written, files);
    if (counts.isEmpty())
        QVERIFY(!QFileInfo::exists(m_jumps));
    else
        QCOMPARE(JumpCountsJSONStore(m_jumps).load(), counts);
    QVERIFY(!QFileInfo::exists(m_legacy));
    QCOMPARE(readBytes(m_migrated), content);

    const QList<KeyBinding> loaded = KeyBindingFileStore(m_bindings).load();
    for (const KeyBinding& binding : loaded) {
        QCOMPARE(binding.jumps, 0);
        QCOMPARE(binding.key.label, u"K%1"_s.arg(binding.key.keyCode));
        QVERIFY(binding.appName != u"Second"_s); // the later entry on a taken key is not written
    }

    // A second run finds nothing to do.
    migrate();
    QCOMPARE(readBytes(m_migrated), content);
}

void LegacyMigrationTest::existingBindingFileWins()
{
    const QByteArray existing = "{ \"kept\" : true }";
    QVERIFY(QDir().mkpath(m_bindings));
    writeBytes(bindingFile(0), existing);
    writeBytes(m_legacy, legacy({entry(1, 0, 4), entry(2, 1, 1)}));
    migrate();
    QCOMPARE(readBytes(bindingFile(0)), existing);
    QVERIFY(QFileInfo::exists(bindingFile(1)));
    QCOMPARE(JumpCountsJSONStore(m_jumps).load(), (JumpCounts{{id(1), 4}, {id(2), 1}}));
}

void LegacyMigrationTest::malformedLegacyFileStaysInPlace_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray withoutJumps = entry(1, 0, 3);
    withoutJumps.replace(",\"jumps\":3", "");
    QByteArray fractionalJumps = entry(1, 0, 3);
    fractionalJumps.replace("\"jumps\":3", "\"jumps\":3.5");
    QTest::newRow("an element without jumps") << legacy({entry(2, 1, 1), withoutJumps});
    QTest::newRow("fractional jumps") << legacy({fractionalJumps});
    QTest::newRow("object instead of array") << QByteArray("{}");
    QTest::newRow("not JSON") << QByteArray("[{");
    QTest::newRow("too large") << QByteArray(1'000'001, ' ');
}

void LegacyMigrationTest::malformedLegacyFileStaysInPlace()
{
    QFETCH(QByteArray, content);
    writeBytes(m_legacy, content);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(
                                            u"^could not read the pre-sync bindings file, leaving it in place: .+"_s));
    migrate();
    QCOMPARE(readBytes(m_legacy), content);
    QVERIFY(!QFileInfo::exists(m_migrated));
    QVERIFY(!QFileInfo::exists(m_jumps));
    QVERIFY(QDir(m_bindings).isEmpty());
}

void LegacyMigrationTest::staleMigratedFileIsReplaced()
{
    writeBytes(m_migrated, "stale");
    const QByteArray content = legacy({entry(1, 0, 0)});
    writeBytes(m_legacy, content);
    migrate();
    QCOMPARE(readBytes(m_migrated), content);
    QVERIFY(!QFileInfo::exists(m_legacy));
}

void LegacyMigrationTest::unwritableBindingSkipsItsJumps()
{
    // A plain file where the bindings folder should be: no binding file can be written.
    writeBytes(m_bindings, "");
    const QByteArray content = legacy({entry(1, 0, 4), entry(2, 1, 6)});
    writeBytes(m_legacy, content);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^could not migrate binding for key 0: .+"_s));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^could not migrate binding for key 1: .+"_s));
    migrate();
    QVERIFY(!QFileInfo::exists(m_jumps));
    // Still moved aside, and kept under its new name.
    QCOMPARE(readBytes(m_migrated), content);
}

void LegacyMigrationTest::unreadableJumpsFileIsMovedAsideNotOverwritten()
{
    writeBytes(m_jumps, "[\"old counts\"]");
    writeBytes(m_legacy, legacy({entry(1, 0, 4)}));
    QTest::ignoreMessage(QtCriticalMsg,
                         QRegularExpression(u"^could not read jump counts, moving the file aside: .+"_s));
    migrate();
    QCOMPARE(JumpCountsJSONStore(m_jumps).load(), (JumpCounts{{id(1), 4}}));
    const QStringList aside = QDir(m_dir->path()).entryList({u"jumps.corrupt-*.json"_s});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readBytes(m_dir->filePath(aside.first())), QByteArray("[\"old counts\"]"));
}

QTEST_GUILESS_MAIN(LegacyMigrationTest)
#include "tst_legacymigration.moc"
