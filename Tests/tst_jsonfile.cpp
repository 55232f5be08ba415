#include "Model/KeyBinding.h"
#include "Storage/JSONFile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A JSON document of exactly size bytes: an array of one string padded to length.
QByteArray documentOfSize(qint64 size)
{
    return "[\"" + QByteArray(size - 4, 'x') + "\"]";
}

KeyBinding safari()
{
    return KeyBinding{QUuid(u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s), BoundKey{1, u"S"_s}, u"com.apple.Safari"_s,
                      u"Safari/Web"_s, QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 750), QTimeZone::utc()), 4};
}

std::optional<KeyBinding> decodeBinding(const QJsonValue& value)
{
    return KeyBinding::fromJson(value.toObject());
}

} // namespace

class JSONFileTest : public QObject {
    Q_OBJECT

private slots:
    void sizeLimit_data();
    void sizeLimit();
    void missingFileThrows();
    void storedForm();
    void equalRecordsWriteEqualBytes();
    void encodesValues_data();
    void encodesValues();
    void fractionOfASecond();
    void writeCreatesFolderAndReplacesWhole();
    void failedWriteLeavesTarget();
    void awaitingDownload();

private:
    QTemporaryDir m_dir;
};

void JSONFileTest::sizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");
    QTest::newRow("exactly the limit") << JSONFile::maxSize << true;
    QTest::newRow("one byte more") << JSONFile::maxSize + 1 << false;
}

void JSONFileTest::sizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(bool, read);
    const QString path = m_dir.filePath(u"big.json"_s);
    writeBytes(path, documentOfSize(size));

    try {
        QCOMPARE(JSONFile::data(path).size(), size);
        const QJsonValue value = JSONFile::read(path, [](const QJsonValue& v) { return std::optional(v); });
        QVERIFY(value.isArray());
        QVERIFY(read);
    } catch (const JSONFile::TooLarge& error) {
        QVERIFY(!read);
        QCOMPARE(error.size(), size);
    }
}

void JSONFileTest::missingFileThrows()
{
    const QString path = m_dir.filePath(u"missing.json"_s);
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::data(path));
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::read(path, decodeBinding));
    // A folder is no file either, nor a pipe, whose read would wait for a writer.
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::data(m_dir.path()));
    const QString pipe = m_dir.filePath(u"pipe.json"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::data(pipe));
}

void JSONFileTest::storedForm()
{
    const QString path = m_dir.filePath(u"1.json"_s);
    JSONFile::write(safari().toJson(), path);
    // What the macOS build writes for the same record, byte for byte.
    QCOMPARE(readBytes(path), QByteArray(R"({
  "appName" : "Safari\/Web",
  "bundleIdentifier" : "com.apple.Safari",
  "createdAt" : "2025-03-01T09:30:00Z",
  "id" : "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0",
  "key" : {
    "keyCode" : 1,
    "label" : "S"
  }
})"));
}

void JSONFileTest::equalRecordsWriteEqualBytes()
{
    const QString a = m_dir.filePath(u"a.json"_s);
    const QString b = m_dir.filePath(u"b.json"_s);
    KeyBinding other = safari();
    other.jumps = 99; // held in memory only
    JSONFile::write(safari().toJson(), a);
    JSONFile::write(other.toJson(), b);
    const QByteArray first = readBytes(a);
    QCOMPARE(readBytes(b), first);
    JSONFile::write(safari().toJson(), a);
    QCOMPARE(readBytes(a), first);
}

void JSONFileTest::encodesValues_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("integer") << QJsonValue(3) << QByteArray("3");
    QTest::newRow("integer beyond doubles") << QJsonValue(qint64(1) << 60 | 1) << QByteArray("1152921504606846977");
    QTest::newRow("negative") << QJsonValue(-12) << QByteArray("-12");
    QTest::newRow("fraction") << QJsonValue(1.5) << QByteArray("1.5");
    QTest::newRow("controls and quotes") << QJsonValue(u"a\"b\\c\n\t\u0001"_s)
                                         << QByteArray(R"("a\"b\\c\n\t\u0001")");
    QTest::newRow("non-ASCII stays UTF-8") << QJsonValue(u"Caf\u00e9"_s) << QByteArray("\"Caf\xc3\xa9\"");
    QTest::newRow("empty array") << QJsonValue(QJsonArray()) << QByteArray("[\n\n]");
    QTest::newRow("nested array") << QJsonValue(QJsonArray{1, QJsonArray{true, QJsonValue()}})
                                  << QByteArray("[\n  1,\n  [\n    true,\n    null\n  ]\n]");
    QTest::newRow("sorted keys") << QJsonValue(QJsonObject{{u"profiles"_s, 1}, {u"activeID"_s, 2}})
                                 << QByteArray("{\n  \"activeID\" : 2,\n  \"profiles\" : 1\n}");
}

void JSONFileTest::encodesValues()
{
    QFETCH(QJsonValue, value);
    QFETCH(QByteArray, encoded);
    QCOMPARE(JSONFile::encode(value), encoded);
}

void JSONFileTest::fractionOfASecond()
{
    const QString path = m_dir.filePath(u"fraction.json"_s);
    JSONFile::write(safari().toJson(), path);
    const KeyBinding back = JSONFile::read(path, decodeBinding);
    QCOMPARE(back.createdAt, QDateTime(QDate(2025, 3, 1), QTime(9, 30), QTimeZone::utc()));
    QCOMPARE(back.jumps, 0);

    QByteArray withFraction = readBytes(path).replace("09:30:00Z", "09:30:00.5Z");
    writeBytes(path, withFraction);
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::read(path, decodeBinding));
}

void JSONFileTest::writeCreatesFolderAndReplacesWhole()
{
    const QString path = m_dir.filePath(u"new/deeper/1.json"_s);
    JSONFile::write(QJsonArray{1, 2}, path);
    QCOMPARE(readBytes(path), QByteArray("[\n  1,\n  2\n]"));
    JSONFile::write(QJsonArray{3}, path);
    QCOMPARE(readBytes(path), QByteArray("[\n  3\n]"));
    // Nothing of the temporary file is left beside it.
    QCOMPARE(QDir(m_dir.filePath(u"new/deeper"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"1.json"_s});
}

void JSONFileTest::failedWriteLeavesTarget()
{
    // The parent "folder" is a file, so neither the folder nor the file can be made.
    const QString blocker = m_dir.filePath(u"blocker"_s);
    writeBytes(blocker, "keep");
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::write(QJsonArray{1}, blocker + u"/1.json"_s));
    QCOMPARE(readBytes(blocker), QByteArray("keep"));
    // A folder in the file's place is not replaced.
    const QString folder = m_dir.filePath(u"folder.json"_s);
    QVERIFY(QDir().mkpath(folder + u"/inside"_s));
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, JSONFile::write(QJsonArray{1}, folder));
    QVERIFY(QFileInfo(folder + u"/inside"_s).isDir());
}

void JSONFileTest::awaitingDownload()
{
    const QString path = m_dir.filePath(u"a.json"_s);
    writeBytes(path, "[]");
    QVERIFY(!JSONFile::isAwaitingDownload(path));
    writeBytes(m_dir.filePath(u".a.json.icloud"_s), "");
    QVERIFY(JSONFile::isAwaitingDownload(path));
    // Only the placeholder exists: the file itself is still in the cloud.
    QVERIFY(QFile::remove(path));
    QVERIFY(JSONFile::isAwaitingDownload(path));
    QVERIFY(!JSONFile::isAwaitingDownload(m_dir.filePath(u"b.json"_s)));
}

QTEST_GUILESS_MAIN(JSONFileTest)
#include "tst_jsonfile.moc"
