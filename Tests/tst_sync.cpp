#include "Locations.h"
#include "Model/Profile.h"
#include "Storage/InMemoryUserDefaults.h"
#include "SyncSettings.h"

#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString localKey = u"JUMPLET_TEST_LOCAL_DIR"_s;
const QString portableKey = u"JUMPLET_TEST_PORTABLE_DIR"_s;

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The names a set-aside may get, allowing for the minute turning over during the test.
QStringList replacedNames(const QDateTime& before, const QDateTime& after, const QString& base,
                          const QString& extension)
{
    QStringList names;
    for (const QDateTime& time : {before, after})
        names.append(base + u" (replaced "_s + QLocale::c().toString(time, u"yyyy-MM-dd HHmm"_s) + u')' + extension);
    return names;
}

} // namespace

class SyncTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void modeRawValues();
    void standardFolders_data();
    void standardFolders();
    void storedMode_data();
    void storedMode();
    void customFolderUsable_data();
    void customFolderUsable();
    void iCloudDrive();
    void filesAtFolder();
    void switchingOnAdoptsOrReplaces_data();
    void switchingOnAdoptsOrReplaces();
    void switchingOffBringsBack();
    void portableOverrideCopiesNothing();
    void sameFolderUnderAnotherNameCopiesNothing();
    void setAsideKeepsExtension();
    void folderInsideTheBindings();
    void locations();

private:
    SyncSettings settings() { return SyncSettings(m_defaults, u"Jumplet"_s, {u"bindings"_s}, localKey, portableKey); }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    InMemoryUserDefaults m_defaults;
    QString m_home;
};

void SyncTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void SyncTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_defaults = InMemoryUserDefaults();
    m_home = path(u"home"_s);
    QVERIFY(QDir().mkpath(m_home));
    qputenv("HOME", m_home.toUtf8());
    qputenv(localKey.toUtf8(), path(u"local"_s).toUtf8());
    qunsetenv(portableKey.toUtf8());
}

void SyncTest::cleanup()
{
    qunsetenv(localKey.toUtf8());
    qunsetenv(portableKey.toUtf8());
}

void SyncTest::modeRawValues()
{
    QCOMPARE(SyncModes::allCases(), (QList<SyncMode>{SyncMode::off, SyncMode::iCloud, SyncMode::custom}));
    for (const SyncMode mode : SyncModes::allCases())
        QCOMPARE(SyncModes::fromRawValue(SyncModes::rawValue(mode)), mode);
    QCOMPARE(SyncModes::rawValue(SyncMode::iCloud), u"iCloud"_s);
    QCOMPARE(SyncModes::fromRawValue(u"icloud"_s), std::nullopt);
}

void SyncTest::standardFolders_data()
{
    QTest::addColumn<QString>("localEnv");    // "-" for unset
    QTest::addColumn<QString>("portableEnv"); // "-" for unset
    QTest::addColumn<QString>("syncDirectory");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("portable");
    const QString unset = u"-"_s;
    QTest::newRow("local override alone") << u"a"_s << unset << QString() << u"a"_s << u"a"_s;
    QTest::newRow("sync directory") << u"a"_s << unset << u"cloud"_s << u"a"_s << u"cloud"_s;
    QTest::newRow("portable override wins") << u"a"_s << u"p"_s << u"cloud"_s << u"a"_s << u"p"_s;
    QTest::newRow("no override") << unset << unset << QString() << u"<support>"_s << u"<support>"_s;
}

void SyncTest::standardFolders()
{
    QFETCH(QString, localEnv);
    QFETCH(QString, portableEnv);
    QFETCH(QString, syncDirectory);
    QFETCH(QString, local);
    QFETCH(QString, portable);
    const QString support = SyncLocations::applicationSupport(u"Jumplet"_s);
    QVERIFY(support.endsWith(u"/Jumplet"_s));
    const auto expected = [&](const QString& name) { return name == u"<support>"_s ? support : path(name); };

    // Relative paths are taken from the current folder.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QHash<QString, QString> environment;
    if (localEnv != u"-"_s)
        environment.insert(localKey, localEnv);
    if (portableEnv != u"-"_s)
        environment.insert(portableKey, portableEnv);
    const std::optional<QString> sync = syncDirectory.isEmpty() ? std::nullopt : std::optional(path(syncDirectory));
    const SyncLocations locations = SyncLocations::standard(u"Jumplet"_s, sync, localKey, portableKey, environment);
    QVERIFY(QDir::setCurrent(previous));

    QCOMPARE(locations.local, expected(local));
    QCOMPARE(locations.portable, expected(portable));
    QVERIFY(QFileInfo(locations.local).isDir());
    QVERIFY(QFileInfo(locations.portable).isDir());
}

void SyncTest::storedMode_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<SyncMode>("mode");
    QTest::newRow("absent") << QVariant() << SyncMode::off;
    QTest::newRow("custom") << QVariant(u"custom"_s) << SyncMode::custom;
    QTest::newRow("iCloud") << QVariant(u"iCloud"_s) << SyncMode::iCloud;
    QTest::newRow("icloud in lower case") << QVariant(u"icloud"_s) << SyncMode::off;
    QTest::newRow("not a string") << QVariant(true) << SyncMode::off;
}

void SyncTest::storedMode()
{
    QFETCH(QVariant, stored);
    QFETCH(SyncMode, mode);
    if (stored.isValid())
        m_defaults.setValue(u"syncMode"_s, stored);
    QCOMPARE(settings().mode(), mode);
    if (mode == SyncMode::off) {
        QVERIFY(settings().isAvailable());
        QCOMPARE(settings().syncDirectory(), std::nullopt);
    }
}

void SyncTest::customFolderUsable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("usable");
    QTest::newRow("writable folder") << u"folder"_s << true;
    QTest::newRow("missing") << u"missing"_s << false;
    QTest::newRow("a file") << u"file"_s << false;
    QTest::newRow("read-only folder") << u"read-only"_s << false;
    QTest::newRow("not set") << u"unset"_s << false;
}

void SyncTest::customFolderUsable()
{
    QFETCH(QString, kind);
    QFETCH(bool, usable);
    const QString folder = path(u"custom"_s);
    if (kind == u"folder"_s || kind == u"read-only"_s)
        QVERIFY(QDir().mkpath(folder));
    if (kind == u"file"_s)
        writeBytes(folder, "");
    if (kind == u"read-only"_s) {
        if (geteuid() == 0)
            QSKIP("the superuser can write to any folder");
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    m_defaults.setString(u"syncMode"_s, u"custom"_s);
    if (kind != u"unset"_s)
        m_defaults.setString(u"syncFolderPath"_s, folder);

    QCOMPARE(settings().isAvailable(), usable);
    QCOMPARE(settings().syncDirectory(), usable ? std::optional(folder) : std::nullopt);
    const SyncLocations locations = SyncLocations::standard(u"Jumplet"_s, settings().syncDirectory(), localKey,
                                                            portableKey, SyncLocations::processEnvironment());
    QCOMPARE(locations.portable, usable ? folder : path(u"local"_s));
    QCOMPARE(m_defaults.string(u"syncMode"_s), u"custom"_s);
    if (kind == u"read-only"_s)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void SyncTest::iCloudDrive()
{
    m_defaults.setString(u"syncMode"_s, u"iCloud"_s);
    QVERIFY(!settings().isAvailable());
    QCOMPARE(settings().syncDirectory(), std::nullopt);

    const QString root = m_home + u"/Library/Mobile Documents/com~apple~CloudDocs"_s;
    QVERIFY(QDir().mkpath(root));
    QVERIFY(settings().isAvailable());
    QCOMPARE(settings().syncDirectory(), root + u"/Jumplet"_s);
    QVERIFY(QFileInfo(root + u"/Jumplet"_s).isDir());
}

void SyncTest::filesAtFolder()
{
    const QString folder = path(u"shared"_s);
    writeBytes(folder + u"/bindings/1.json"_s, "{}");
    writeBytes(folder + u"/other"_s, "");
    QCOMPARE(settings().files(SyncMode::custom, folder), QStringList{u"bindings"_s});
    QCOMPARE(settings().files(SyncMode::custom, path(u"missing"_s)), QStringList());
    QCOMPARE(settings().files(SyncMode::off, folder), QStringList());
    // Without a folder, the stored one.
    m_defaults.setString(u"syncFolderPath"_s, folder);
    QCOMPARE(settings().files(SyncMode::custom, std::nullopt), QStringList{u"bindings"_s});
}

void SyncTest::switchingOnAdoptsOrReplaces_data()
{
    QTest::addColumn<SyncStart>("start");
    QTest::newRow("adopt") << SyncStart::adoptCloud;
    QTest::newRow("replace") << SyncStart::replaceCloud;
}

void SyncTest::switchingOnAdoptsOrReplaces()
{
    QFETCH(SyncStart, start);
    const QString local = path(u"local"_s);
    const QString shared = path(u"shared"_s);
    writeBytes(local + u"/bindings/1.json"_s, "local");
    // A pipe is not carried: reading it would wait for a writer.
    QCOMPARE(::mkfifo(QFile::encodeName(local + u"/bindings/pipe"_s).constData(), 0600), 0);
    writeBytes(local + u"/bindings-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0/2.json"_s, "other profile");
    writeBytes(local + u"/profiles.json"_s, "profiles");
    writeBytes(shared + u"/bindings/1.json"_s, "shared");

    SyncSettings sync = settings();
    const QDateTime before = QDateTime::currentDateTime();
    QFuture<SyncLocations> future = sync.apply(SyncMode::custom, shared, start);
    QCOMPARE(m_defaults.string(u"syncMode"_s), u"custom"_s);
    QCOMPARE(m_defaults.string(u"syncFolderPath"_s), shared);
    const SyncLocations locations = future.result();
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(locations, (SyncLocations{local, shared}));
    // Only the default profile's bindings travel; the local copy stays.
    QCOMPARE(readBytes(local + u"/bindings/1.json"_s), QByteArray("local"));
    QVERIFY(!QFileInfo::exists(shared + u"/profiles.json"_s));
    QVERIFY(!QFileInfo::exists(shared + u"/bindings-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s));
    if (start == SyncStart::adoptCloud) {
        QCOMPARE(entries(shared), QStringList{u"bindings"_s});
        QCOMPARE(readBytes(shared + u"/bindings/1.json"_s), QByteArray("shared"));
    } else {
        QCOMPARE(entries(shared + u"/bindings"_s), QStringList{u"1.json"_s});
        QCOMPARE(readBytes(shared + u"/bindings/1.json"_s), QByteArray("local"));
        const QStringList names = entries(shared);
        QCOMPARE(names.size(), 2);
        QVERIFY2(replacedNames(before, after, u"bindings"_s, QString()).contains(names.at(1)), qPrintable(names.at(1)));
        QCOMPARE(readBytes(shared + u'/' + names.at(1) + u"/1.json"_s), QByteArray("shared"));
    }
}

void SyncTest::switchingOffBringsBack()
{
    const QString local = path(u"local"_s);
    const QString shared = path(u"shared"_s);
    writeBytes(local + u"/bindings/1.json"_s, "old local");
    writeBytes(local + u"/bindings/2.json"_s, "only local");
    writeBytes(shared + u"/bindings/1.json"_s, "shared");
    m_defaults.setString(u"syncMode"_s, u"custom"_s);
    m_defaults.setString(u"syncFolderPath"_s, shared);

    const SyncLocations locations = settings().apply(SyncMode::off, std::nullopt, SyncStart::adoptCloud).result();
    QCOMPARE(locations, (SyncLocations{local, local}));
    QCOMPARE(m_defaults.string(u"syncMode"_s), u"off"_s);
    QCOMPARE(m_defaults.string(u"syncFolderPath"_s), shared);
    // The local bindings are replaced as a whole; the synchronised copy remains.
    QCOMPARE(entries(local + u"/bindings"_s), QStringList{u"1.json"_s});
    QCOMPARE(readBytes(local + u"/bindings/1.json"_s), QByteArray("shared"));
    QCOMPARE(readBytes(shared + u"/bindings/1.json"_s), QByteArray("shared"));
}

void SyncTest::portableOverrideCopiesNothing()
{
    const QString portable = path(u"portable"_s);
    const QString shared = path(u"shared"_s);
    qputenv(portableKey.toUtf8(), portable.toUtf8());
    writeBytes(portable + u"/bindings/1.json"_s, "portable");
    QVERIFY(QDir().mkpath(shared));

    SyncLocations locations = settings().apply(SyncMode::custom, shared, SyncStart::replaceCloud).result();
    QCOMPARE(locations.portable, portable);
    QCOMPARE(m_defaults.string(u"syncMode"_s), u"custom"_s);
    QCOMPARE(entries(shared), QStringList());
    locations = settings().apply(SyncMode::off, std::nullopt, SyncStart::adoptCloud).result();
    QCOMPARE(locations.portable, portable);
    QCOMPARE(m_defaults.string(u"syncMode"_s), u"off"_s);
    QCOMPARE(entries(portable), QStringList{u"bindings"_s});
}

void SyncTest::sameFolderUnderAnotherNameCopiesNothing()
{
    // The custom folder is the local folder reached through a link.
    const QString local = path(u"local"_s);
    const QString link = path(u"link"_s);
    writeBytes(local + u"/bindings/1.json"_s, "only copy");
    QVERIFY(QFile::link(local, link));

    SyncLocations locations = settings().apply(SyncMode::custom, link, SyncStart::replaceCloud).result();
    QCOMPARE(locations.portable, link);
    QCOMPARE(entries(local), QStringList{u"bindings"_s});
    locations = settings().apply(SyncMode::off, std::nullopt, SyncStart::adoptCloud).result();
    QCOMPARE(locations.portable, local);
    QCOMPARE(readBytes(local + u"/bindings/1.json"_s), QByteArray("only copy"));
}

void SyncTest::setAsideKeepsExtension()
{
    const QString from = path(u"from"_s);
    const QString to = path(u"to"_s);
    writeBytes(from + u"/settings.json"_s, "new");
    writeBytes(to + u"/settings.json"_s, "old");
    const QDateTime before = QDateTime::currentDateTime();
    SyncSettings::carry(SyncStart::replaceCloud, from, to, {u"settings.json"_s, u"absent"_s});
    const QDateTime after = QDateTime::currentDateTime();
    QStringList names = entries(to);
    QCOMPARE(names.size(), 2);
    QVERIFY2(replacedNames(before, after, u"settings"_s, u".json"_s).contains(names.at(0)), qPrintable(names.at(0)));
    QCOMPARE(readBytes(to + u'/' + names.at(0)), QByteArray("old"));
    QCOMPARE(readBytes(to + u"/settings.json"_s), QByteArray("new"));

    // A second set-aside in the same minute keeps only the later copy.
    writeBytes(from + u"/settings.json"_s, "newer");
    SyncSettings::carry(SyncStart::replaceCloud, from, to, {u"settings.json"_s});
    if (QDateTime::currentDateTime().time().minute() == after.time().minute()) {
        QCOMPARE(entries(to).size(), 2);
        QCOMPARE(readBytes(to + u'/' + names.at(0)), QByteArray("new"));
    }
}

void SyncTest::folderInsideTheBindings()
{
    // The chosen folder is the local bindings folder itself.
    const QString bindings = path(u"local/bindings"_s);
    writeBytes(bindings + u"/1.json"_s, "binding");
    SyncSettings::carry(SyncStart::adoptCloud, path(u"local"_s), bindings, {u"bindings"_s});
    QCOMPARE(entries(bindings), (QStringList{u"1.json"_s, u"bindings"_s}));
    QCOMPARE(entries(bindings + u"/bindings"_s), QStringList{u"1.json"_s});

    // Bringing the synchronised copy back replaces the local folder that holds it.
    writeBytes(bindings + u"/bindings/1.json"_s, "edited in the synchronised copy");
    SyncSettings::bringBack(bindings, path(u"local"_s), {u"bindings"_s});
    QCOMPARE(entries(path(u"local"_s)), QStringList{u"bindings"_s});
    QCOMPARE(entries(bindings), QStringList{u"1.json"_s});
    QCOMPARE(readBytes(bindings + u"/1.json"_s), QByteArray("edited in the synchronised copy"));
}

void SyncTest::locations()
{
    QCOMPARE(Locations::folderName(), u"Jumplet"_s);
    QCOMPARE(Locations::portableFileNames(), QStringList{u"bindings"_s});
    const Locations locations = Locations::from(SyncLocations{u"/l"_s, u"/p"_s});
    QCOMPARE(locations.local, u"/l"_s);
    QCOMPARE(locations.bindingsFolder(Profile::defaultID()), u"/p/bindings"_s);
    QCOMPARE(locations.bindingsFolder(QUuid(u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s)),
             u"/p/bindings-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s);
}

QTEST_GUILESS_MAIN(SyncTest)
#include "tst_sync.moc"
