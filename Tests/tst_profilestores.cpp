#include "Storage/JumpCountsJSONStore.h"
#include "Storage/ProfileJSONStore.h"

#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray defaultProfiles = R"({
  "activeID" : "00000000-0000-0000-0000-000000000001",
  "profiles" : [
    {
      "id" : "00000000-0000-0000-0000-000000000001",
      "name" : "Default"
    }
  ]
})";

} // namespace

class ProfileStoresTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void missingProfilesFileCreatesDefault();
    void unreadableProfilesFileStartsOver_data();
    void unreadableProfilesFileStartsOver();
    void profilesReturnedAsRead();
    void profileSaveFailureIsLogged();
    void missingJumpsFileIsNotCreated();
    void unreadableJumpsFileIsMovedAside_data();
    void unreadableJumpsFileIsMovedAside();
    void jumpsRoundTripIntoNewFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void ProfileStoresTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void ProfileStoresTest::missingProfilesFileCreatesDefault()
{
    const QString path = m_dir->filePath(u"profiles.json"_s);
    ProfileJSONStore store(path);
    const ProfilesFile loaded = store.load(u"Default"_s);
    QCOMPARE(loaded, (ProfilesFile{{Profile{Profile::defaultID(), u"Default"_s}}, Profile::defaultID()}));
    QCOMPARE(readBytes(path), defaultProfiles);
    QCOMPARE(store.load(u"Other name"_s), loaded);
}

void ProfileStoresTest::unreadableProfilesFileStartsOver_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("no keys") << QByteArray("{}");
    QTest::newRow("not JSON") << QByteArray("{\"activeID\":");
    QTest::newRow("bad id") << QByteArray(R"({"activeID":"1","profiles":[]})");
    QTest::newRow("too large") << QByteArray(1'000'001, ' ');
}

void ProfileStoresTest::unreadableProfilesFileStartsOver()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir->filePath(u"profiles.json"_s);
    writeBytes(path, content);
    ProfileJSONStore store(path);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^could not read profiles, starting over: .+"_s));
    QCOMPARE(store.load(u"Default"_s).profiles.size(), 1);
    QCOMPARE(readBytes(path), defaultProfiles);
    // The second load reads the fresh file without a log line.
    QCOMPARE(store.load(u"Default"_s).activeID, Profile::defaultID());
}

void ProfileStoresTest::profilesReturnedAsRead()
{
    const QString path = m_dir->filePath(u"profiles.json"_s);
    const QUuid work = QUuid::createUuid();
    // The active id names no listed profile; an empty list would read the same way.
    const ProfilesFile stored{{Profile{Profile::defaultID(), u"Home"_s}, Profile{work, u"Work"_s}}, QUuid::createUuid()};
    ProfileJSONStore store(path);
    store.save(stored);
    QCOMPARE(store.load(u"Default"_s), stored);
    const ProfilesFile empty{{}, work};
    store.save(empty);
    QCOMPARE(store.load(u"Default"_s), empty);
}

void ProfileStoresTest::profileSaveFailureIsLogged()
{
    const QString blocker = m_dir->filePath(u"blocker"_s);
    writeBytes(blocker, "");
    ProfileJSONStore store(blocker + u"/profiles.json"_s);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^could not save profiles: .+"_s));
    // Still a usable value.
    QCOMPARE(store.load(u"Default"_s).activeID, Profile::defaultID());
}

void ProfileStoresTest::missingJumpsFileIsNotCreated()
{
    const QString path = m_dir->filePath(u"jumps.json"_s);
    JumpCountsJSONStore store(path);
    QVERIFY(store.load().isEmpty());
    QVERIFY(!QFileInfo::exists(path));
}

void ProfileStoresTest::unreadableJumpsFileIsMovedAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("array") << QByteArray("[1, 2]");
    QTest::newRow("fraction") << QByteArray(R"({"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0": 1.5})");
    QTest::newRow("string") << QByteArray(R"({"A": "3"})");
    QTest::newRow("beyond 64 bits") << QByteArray(R"({"A": 9223372036854775808})");
    QTest::newRow("not JSON") << QByteArray("{");
    QTest::newRow("too large") << QByteArray(1'000'001, ' ');
}

void ProfileStoresTest::unreadableJumpsFileIsMovedAside()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir->filePath(u"jumps.json"_s);
    writeBytes(path, content);
    JumpCountsJSONStore store(path);

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QTest::ignoreMessage(QtCriticalMsg,
                         QRegularExpression(u"^could not read jump counts, moving the file aside: .+"_s));
    QVERIFY(store.load().isEmpty());
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    QVERIFY(!QFileInfo::exists(path));
    const QStringList aside = QDir(m_dir->path()).entryList({u"jumps.corrupt-*.json"_s});
    QCOMPARE(aside.size(), 1);
    const qint64 seconds = aside.first().section(u'-', 1).section(u'.', 0, 0).toLongLong();
    QVERIFY(seconds >= before && seconds <= after);
    QCOMPARE(readBytes(m_dir->filePath(aside.first())), content);

    store.save({{u"A"_s, 2}});
    QCOMPARE(store.load(), (JumpCounts{{u"A"_s, 2}}));
}

void ProfileStoresTest::jumpsRoundTripIntoNewFolder()
{
    const QString path = m_dir->filePath(u"new/folder/jumps.json"_s);
    JumpCountsJSONStore store(path);
    const JumpCounts counts{{u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s, 3}, {u"1A2B3C4D-0000-0000-0000-000000000000"_s, 1},
                            {u"big"_s, qint64(1) << 60}};
    store.save(counts);
    QCOMPARE(store.load(), counts);
    QVERIFY(readBytes(path).contains("\"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0\" : 3"));
}

QTEST_GUILESS_MAIN(ProfileStoresTest)
#include "tst_profilestores.moc"
