#include "Storage/KeyBindingFileStore.h"

#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

KeyBinding makeBinding(PhysicalKeyCode code, const QString& label, const QString& app)
{
    return KeyBinding{QUuid::createUuid(), BoundKey{code, label}, u"com.example."_s + app, app,
                      QDateTime(QDate(2025, 3, 1), QTime(9, 30), QTimeZone::utc()), 0};
}

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Back-dates every file, so that any rewrite shows as a new modification time.
void backdate(const QString& folder)
{
    const QDateTime old(QDate(2000, 1, 1), QTime(0, 0), QTimeZone::utc());
    for (const QString& name : entries(folder)) {
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
}

bool isBackdated(const QString& path)
{
    return QFileInfo(path).lastModified().toUTC().date().year() == 2000;
}

QString jsonOf(const KeyBinding& binding)
{
    return u"{\"id\":\"%1\",\"key\":{\"keyCode\":%2,\"label\":\"%3\"},\"bundleIdentifier\":\"b\",\"appName\":\"%4\","
           "\"createdAt\":\"2025-03-01T09:30:00Z\"}"_s.arg(binding.id.toString(QUuid::WithoutBraces))
        .arg(binding.key.keyCode)
        .arg(binding.key.label, binding.appName);
}

} // namespace

class KeyBindingFileStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void savesOneFilePerKeyAndOnlyChanges();
    void removeDeletesOnlyThatFile();
    void loadReadsEveryJsonFile();
    void loadSkipsUnreadableAndLeavesIt_data();
    void loadSkipsUnreadableAndLeavesIt();
    void skipsFilesAwaitingDownloadSilently();
    void oversizedFileIsOverwrittenBySave();
    void twoFilesOnOneKeyCode();
    void missingFolderGivesNothingAndNoWatch();
    void watchReportsExternalChanges();
    void watchIsReArmedAndStopped();
    void watchHoldsStoreWeakly();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void KeyBindingFileStoreTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = m_dir->filePath(u"bindings"_s);
}

void KeyBindingFileStoreTest::savesOneFilePerKeyAndOnlyChanges()
{
    KeyBindingFileStore store(m_folder);
    QVERIFY(QFileInfo(m_folder).isDir());
    int calls = 0;
    QList<KeyBinding> bindings{makeBinding(1, u"S"_s, u"Safari"_s), makeBinding(46, u"M"_s, u"Mail"_s),
                               makeBinding(0, u"A"_s, u"Arc"_s)};
    // A date's fraction of a second is never written, so it does not count as a change.
    bindings[2].createdAt = bindings[2].createdAt.addMSecs(400);
    store.save(bindings);
    QCOMPARE(entries(m_folder), (QStringList{u"0.json"_s, u"1.json"_s, u"46.json"_s}));
    backdate(m_folder);

    store.setOnExternalChange([&calls] { ++calls; });
    bindings[0].jumps = 7; // in memory only
    store.save(bindings);
    QTest::qWait(100);
    QCOMPARE(calls, 0);
    for (const QString& name : entries(m_folder))
        QVERIFY2(isBackdated(QDir(m_folder).filePath(name)), qPrintable(name));

    bindings[1].appName = u"Mail 2"_s;
    store.save(bindings);
    QVERIFY(isBackdated(QDir(m_folder).filePath(u"0.json"_s)));
    QVERIFY(isBackdated(QDir(m_folder).filePath(u"1.json"_s)));
    QVERIFY(!isBackdated(QDir(m_folder).filePath(u"46.json"_s)));
    QTRY_VERIFY(calls > 0);

    QList<KeyBinding> loaded = store.load();
    std::sort(loaded.begin(), loaded.end(),
              [](const KeyBinding& a, const KeyBinding& b) { return a.key.keyCode < b.key.keyCode; });
    bindings[0].jumps = 0;
    bindings[2].createdAt = bindings[2].createdAt.addMSecs(-400);
    QCOMPARE(loaded, (QList<KeyBinding>{bindings[2], bindings[0], bindings[1]}));
}

void KeyBindingFileStoreTest::removeDeletesOnlyThatFile()
{
    KeyBindingFileStore store(m_folder);
    store.save({makeBinding(1, u"S"_s, u"Safari"_s), makeBinding(46, u"M"_s, u"Mail"_s)});
    // Saving a list without a binding leaves that binding's file.
    store.save({makeBinding(1, u"S"_s, u"Safari"_s)});
    QCOMPARE(entries(m_folder), (QStringList{u"1.json"_s, u"46.json"_s}));
    store.remove(46);
    QCOMPARE(entries(m_folder), QStringList{u"1.json"_s});
    store.remove(46); // no file, no log line (an unexpected message fails the test)
    QCOMPARE(store.load().size(), 1);
}

void KeyBindingFileStoreTest::loadReadsEveryJsonFile()
{
    KeyBindingFileStore store(m_folder);
    const KeyBinding onFive = makeBinding(5, u"G"_s, u"Ghostty"_s);
    const QByteArray json = jsonOf(onFive).toUtf8();
    writeBytes(QDir(m_folder).filePath(u"extra.json"_s), json);
    writeBytes(QDir(m_folder).filePath(u".5.json"_s), json);
    writeBytes(QDir(m_folder).filePath(u"5.json.bak"_s), json);
    QVERIFY(QDir(m_folder).mkdir(u"sub"_s));
    writeBytes(QDir(m_folder).filePath(u"sub/6.json"_s), json);

    const QList<KeyBinding> loaded = store.load();
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.first().key.keyCode, PhysicalKeyCode(5));
    QCOMPARE(loaded.first().id, onFive.id);
}

void KeyBindingFileStoreTest::loadSkipsUnreadableAndLeavesIt_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not JSON") << QByteArray("{not json");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("array") << QByteArray("[]");
    QTest::newRow("missing appName")
        << QByteArray(R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","key":{"keyCode":7,"label":"X"},)"
                      R"("bundleIdentifier":"b","createdAt":"2025-03-01T09:30:00Z"})");
    QTest::newRow("key code out of range")
        << QByteArray(R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","key":{"keyCode":65536,"label":"X"},)"
                      R"("bundleIdentifier":"b","appName":"a","createdAt":"2025-03-01T09:30:00Z"})");
    QTest::newRow("seconds instead of a date")
        << QByteArray(R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","key":{"keyCode":7,"label":"X"},)"
                      R"("bundleIdentifier":"b","appName":"a","createdAt":760000000})");
}

void KeyBindingFileStoreTest::loadSkipsUnreadableAndLeavesIt()
{
    QFETCH(QByteArray, content);
    KeyBindingFileStore store(m_folder);
    store.save({makeBinding(1, u"S"_s, u"Safari"_s)});
    const QString bad = QDir(m_folder).filePath(u"7.json"_s);
    writeBytes(bad, content);

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^skipping unreadable binding file 7\\.json: .+"_s));
    const QList<KeyBinding> loaded = store.load();
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.first().key.keyCode, PhysicalKeyCode(1));
    QCOMPARE(readBytes(bad), content);
}

void KeyBindingFileStoreTest::skipsFilesAwaitingDownloadSilently()
{
    KeyBindingFileStore store(m_folder);
    store.save({makeBinding(12, u"Q"_s, u"Quip"_s), makeBinding(1, u"S"_s, u"Safari"_s)});
    writeBytes(QDir(m_folder).filePath(u".12.json.icloud"_s), "");
    const QList<KeyBinding> loaded = store.load();
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.first().key.keyCode, PhysicalKeyCode(1));
}

void KeyBindingFileStoreTest::oversizedFileIsOverwrittenBySave()
{
    KeyBindingFileStore store(m_folder);
    const QString path = QDir(m_folder).filePath(u"9.json"_s);
    writeBytes(path, QByteArray(1'000'001, ' '));
    QTest::ignoreMessage(QtCriticalMsg,
                         "skipping unreadable binding file 9.json: TooLarge(size: 1000001)");
    QVERIFY(store.load().isEmpty());
    QCOMPARE(QFileInfo(path).size(), 1'000'001);

    const KeyBinding binding = makeBinding(9, u"O"_s, u"Obsidian"_s);
    store.save({binding});
    QCOMPARE(store.load(), QList<KeyBinding>{binding});
}

void KeyBindingFileStoreTest::twoFilesOnOneKeyCode()
{
    KeyBindingFileStore store(m_folder);
    const KeyBinding first = makeBinding(3, u"F"_s, u"Finder"_s);
    const KeyBinding second = makeBinding(3, u"F"_s, u"Figma"_s);
    writeBytes(QDir(m_folder).filePath(u"3.json"_s), jsonOf(first).toUtf8());
    writeBytes(QDir(m_folder).filePath(u"other.json"_s), jsonOf(second).toUtf8());

    const QList<KeyBinding> loaded = store.load();
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded.at(0).key.keyCode, PhysicalKeyCode(3));
    QCOMPARE(loaded.at(1).key.keyCode, PhysicalKeyCode(3));

    store.save(loaded);
    KeyBindingFileStore reread(m_folder);
    QVERIFY(QFile::remove(QDir(m_folder).filePath(u"other.json"_s)));
    QCOMPARE(reread.load().value(0).id, loaded.last().id);
}

void KeyBindingFileStoreTest::missingFolderGivesNothingAndNoWatch()
{
    // A plain file where the folder should be: the folder cannot be made.
    writeBytes(m_folder, "not a folder");
    KeyBindingFileStore store(m_folder);
    int calls = 0;
    store.setOnExternalChange([&calls] { ++calls; });
    QVERIFY(store.load().isEmpty());
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^could not save binding for key 1: .+"_s));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^could not save binding for key 2: .+"_s));
    store.save({makeBinding(1, u"S"_s, u"Safari"_s), makeBinding(2, u"D"_s, u"Dia"_s)});
    QTest::qWait(50);
    QCOMPARE(calls, 0);
    QCOMPARE(readBytes(m_folder), QByteArray("not a folder"));
}

void KeyBindingFileStoreTest::watchReportsExternalChanges()
{
    KeyBindingFileStore store(m_folder);
    int calls = 0;
    bool onMainThread = true;
    store.setOnExternalChange([&] {
        ++calls;
        onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    QFile created(QDir(m_folder).filePath(u"20.json"_s));
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    QTRY_COMPARE(calls, 1);
    QTest::qWait(100);
    QCOMPARE(calls, 1);
    QVERIFY(onMainThread);

    // The store's own saves and removes change the folder too.
    store.save({makeBinding(1, u"S"_s, u"Safari"_s)});
    QTRY_VERIFY(calls > 1);
    const int afterSave = calls;
    store.remove(1);
    QTRY_VERIFY(calls > afterSave);
}

void KeyBindingFileStoreTest::watchIsReArmedAndStopped()
{
    KeyBindingFileStore store(m_folder);
    int first = 0;
    int second = 0;
    store.setOnExternalChange([&first] { ++first; });
    QVERIFY(store.onExternalChange());
    store.setOnExternalChange([&second] { ++second; });
    writeBytes(QDir(m_folder).filePath(u"a"_s), "");
    QTRY_VERIFY(second > 0);
    QCOMPARE(first, 0);

    store.setOnExternalChange({});
    QVERIFY(!store.onExternalChange());
    const int before = second;
    writeBytes(QDir(m_folder).filePath(u"b"_s), "");
    QTest::qWait(100);
    QCOMPARE(second, before);

    // A callback that re-arms the watch from inside the watch's own notification.
    int rearmed = 0;
    std::function<void()> callback;
    callback = [&] {
        ++rearmed;
        store.setOnExternalChange(callback);
    };
    store.setOnExternalChange(callback);
    writeBytes(QDir(m_folder).filePath(u"c"_s), "");
    QTRY_VERIFY(rearmed > 0);
    const int once = rearmed;
    writeBytes(QDir(m_folder).filePath(u"d"_s), "");
    QTRY_VERIFY(rearmed > once);
}

void KeyBindingFileStoreTest::watchHoldsStoreWeakly()
{
    int calls = 0;
    auto store = std::make_unique<KeyBindingFileStore>(m_folder);
    store->setOnExternalChange([&calls] { ++calls; });
    writeBytes(QDir(m_folder).filePath(u"x"_s), "");
    store.reset(); // before the pending notification is delivered
    QTest::qWait(100);
    QCOMPARE(calls, 0);
}

QTEST_GUILESS_MAIN(KeyBindingFileStoreTest)
#include "tst_keybindingfilestore.moc"
