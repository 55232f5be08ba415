// Storage under hostile conditions: a writer killed at random moments, and every reader fed damaged input.
#include "Logic/ChangelogParser.h"
#include "Storage/JSONFile.h"
#include "Storage/JSONFileUserDefaults.h"
#include "Storage/JumpCountsJSONStore.h"
#include "Storage/KeyBindingFileStore.h"
#include "Storage/LegacyBindingsMigration.h"
#include "Storage/ProfileJSONStore.h"
#include "Storage/ShortcutsFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int bindingCount = 8;
constexpr int killCount = 200;
constexpr int casesPerReader = 500;

// Generation n of the data the child writes: every binding's name and the profile name carry n.
KeyBinding bindingOfGeneration(int index, qint64 generation)
{
    return KeyBinding{QUuid(uint(index + 1), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), BoundKey{PhysicalKeyCode(index), u"K"_s},
                      u"com.example.app"_s, u"App %1"_s.arg(generation),
                      QDateTime(QDate(2025, 3, 1), QTime(9, 30), QTimeZone::utc()), 0};
}

ProfilesFile profilesOfGeneration(qint64 generation)
{
    return ProfilesFile{{Profile{Profile::defaultID(), u"Profile %1"_s.arg(generation)}}, Profile::defaultID()};
}

// The child: rewrites every binding file and the profiles file, generation after generation, until killed.
// It writes one byte to readyFd as it starts on the next generation.
void writeGeneration(const QString& folder, qint64 generation)
{
    QList<KeyBinding> bindings;
    for (int index = 0; index < bindingCount; ++index)
        bindings.append(bindingOfGeneration(index, generation));
    ProfileJSONStore(folder + u"/profiles.json"_s).save(profilesOfGeneration(generation));
    KeyBindingFileStore(folder + u"/bindings"_s).save(bindings);
}

[[noreturn]] void rewriteLoop(const QString& folder, int readyFd)
{
    qint64 generation = 0;
    const auto stored = ProfileJSONStore(folder + u"/profiles.json"_s).load(QString());
    generation = stored.profiles.value(0).name.mid(8).toLongLong();
    if (::write(readyFd, "r", 1) != 1)
        _exit(1);
    for (;;)
        writeGeneration(folder, ++generation);
}

// The generation a file's bytes hold, when they are exactly what writing that generation produces.
std::optional<qint64> bindingGeneration(const QString& path, int index)
{
    const QByteArray bytes = readBytes(path);
    const auto object = QJsonDocument::fromJson(bytes).object();
    bool ok = false;
    const qint64 generation = object.value("appName"_L1).toString().mid(4).toLongLong(&ok);
    if (!ok || JSONFile::encode(bindingOfGeneration(index, generation).toJson()) != bytes)
        return std::nullopt;
    return generation;
}

std::optional<qint64> profilesGeneration(const QString& path)
{
    const QByteArray bytes = readBytes(path);
    const auto file = ProfilesFile::fromJson(QJsonDocument::fromJson(bytes).object());
    bool ok = false;
    const qint64 generation = file ? file->profiles.value(0).name.mid(8).toLongLong(&ok) : 0;
    if (!ok || JSONFile::encode(profilesOfGeneration(generation).toJson()) != bytes)
        return std::nullopt;
    return generation;
}

// Damaged inputs: truncated, byte-mutated, JSON-value-mutated and random, all from one seed.
class Damage {
public:
    explicit Damage(quint32 seed) : m_random(seed) {}

    QByteArray operator()(const QByteArray& valid)
    {
        switch (bounded(5)) {
        case 0: return valid.left(bounded(int(valid.size()) + 1));
        case 1: return mutateBytes(valid);
        case 2:
        case 3: return mutateJson(valid);
        default: return randomBytes();
        }
    }

private:
    int bounded(int limit) { return int(m_random.bounded(limit)); }

    QByteArray mutateBytes(QByteArray bytes)
    {
        static const QByteArray tokens[] = {"{", "}", "[", "]", ",", ":", "\"", "\\", "\\u", "0", "-", "1e999",
                                            "null", "\xff", "\xc3", QByteArray(1, '\0')};
        const int edits = 1 + bounded(4);
        for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
            const int at = bounded(int(bytes.size()));
            switch (bounded(3)) {
            case 0: bytes[at] = char(bounded(256)); break;
            case 1: bytes.remove(at, 1 + bounded(8)); break;
            default: bytes.insert(at, tokens[bounded(std::size(tokens))]); break;
            }
        }
        return bytes;
    }

    QJsonValue randomValue(int depth = 0)
    {
        switch (bounded(depth > 1 ? 10 : 12)) {
        case 0: return QJsonValue();
        case 1: return bounded(2) == 1;
        case 2: return bounded(100000) - 50000;
        case 3: return 1.5;
        case 4: return 1e300;
        case 5: return double(qint64(1) << 62) * 4;
        case 6: return u""_s;
        case 7: return u"2025-03-01T09:30:00Z"_s;
        case 8: return u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s;
        case 9: return QJsonValue(qint64(65536));
        case 10: return QJsonArray{randomValue(depth + 1)};
        default: return QJsonObject{{u"keyCode"_s, randomValue(depth + 1)}, {u"label"_s, randomValue(depth + 1)}};
        }
    }

    QJsonValue mutate(const QJsonValue& value)
    {
        if (bounded(4) == 0)
            return randomValue();
        if (value.isObject()) {
            QJsonObject object = value.toObject();
            if (object.isEmpty())
                return randomValue();
            const QString key = object.keys().at(bounded(int(object.size())));
            if (bounded(5) == 0)
                object.remove(key);
            else
                object.insert(key, mutate(object.value(key)));
            return object;
        }
        if (value.isArray()) {
            QJsonArray array = value.toArray();
            if (array.isEmpty())
                return QJsonArray{randomValue()};
            const int at = bounded(int(array.size()));
            if (bounded(5) == 0)
                array.append(array.at(at));
            else
                array.replace(at, mutate(array.at(at)));
            return array;
        }
        return randomValue();
    }

    QByteArray mutateJson(const QByteArray& valid)
    {
        const QJsonDocument document = QJsonDocument::fromJson(valid);
        if (document.isNull())
            return mutateBytes(valid);
        const QJsonValue root = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
        const QJsonValue damaged = mutate(root);
        if (damaged.isArray())
            return QJsonDocument(damaged.toArray()).toJson();
        if (damaged.isObject())
            return QJsonDocument(damaged.toObject()).toJson();
        return JSONFile::encode(damaged);
    }

    QByteArray randomBytes()
    {
        QByteArray bytes(bounded(200), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(bounded(256));
        return bytes;
    }

    QRandomGenerator m_random;
};

// Both outcomes must occur, or the damage misses one of the reader's paths.
void report(const char* reader, int cases, int read)
{
    QVERIFY2(read > 0 && read < cases, reader);
    qInfo("%s: %d damaged inputs, %d read, %d recovered as specified", reader, cases, read, cases - read);
}

// In memory where the system has it: a killed process loses nothing that the disk would keep, and without
// the disk's flushes the writer gets through many files between kills and the readers through many cases.
QString scratchTemplate()
{
    const QFileInfo memory(u"/dev/shm"_s);
    return memory.isDir() && memory.isWritable() ? u"/dev/shm/jumplet-storage-XXXXXX"_s
                                                 : QDir::tempPath() + u"/jumplet-storage-XXXXXX"_s;
}

QByteArray validBinding()
{
    return JSONFile::encode(bindingOfGeneration(3, 1).toJson());
}

QByteArray validLegacy()
{
    QJsonArray array;
    for (int index = 0; index < 2; ++index) {
        QJsonObject object = bindingOfGeneration(index, 1).toJson();
        object.insert(u"jumps"_s, index + 2);
        array.append(object);
    }
    return JSONFile::encode(array);
}

QByteArray validShortcuts()
{
    return ShortcutsFile::encode({bindingOfGeneration(0, 1), bindingOfGeneration(1, 2)});
}

} // namespace

class StorageReliabilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void killedWriterLeavesWholeFiles();
    void bindingReader();
    void profilesReader();
    void jumpCountsReader();
    void legacyReader();
    void shortcutsReader();
    void preferencesReader();
    void changelogReader();

private:
    QString freshCase(const QString& name);

    QTemporaryDir m_dir{scratchTemplate()};
    int m_case = 0;
};

void StorageReliabilityTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Damaged files are logged by design; thousands of such lines would only slow the run.
    QLoggingCategory::setFilterRules(u"KeyBindingFileStore.critical=false\nProfileJSONStore.critical=false\n"
                                     "JumpCountsJSONStore.critical=false\nLegacyBindingsMigration.critical=false\n"
                                     "JSONFileUserDefaults.critical=false"_s);
}

void StorageReliabilityTest::cleanupTestCase()
{
    QLoggingCategory::setFilterRules(QString());
}

QString StorageReliabilityTest::freshCase(const QString& name)
{
    const QString folder = m_dir.filePath(u"%1-%2"_s.arg(name).arg(++m_case));
    QDir().mkpath(folder);
    return folder;
}

void StorageReliabilityTest::killedWriterLeavesWholeFiles()
{
    const QString folder = m_dir.filePath(u"crash"_s);
    QRandomGenerator random(20261211);
    QList<qint64> previous(bindingCount + 1, 0);
    int killedWhileRunning = 0;
    writeGeneration(folder, 0);

    for (int round = 0; round < killCount; ++round) {
        // A forked child starts at once, so the time goes into writing rather than loading libraries.
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(ready[0]);
            rewriteLoop(folder, ready[1]);
        }
        ::close(ready[1]);
        // A child that never starts fails the round instead of hanging the test.
        pollfd readyPoll{ready[0], POLLIN, 0};
        char byte = 0;
        const bool started = ::poll(&readyPoll, 1, 10000) == 1 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        if (!started)
            ::kill(child, SIGKILL);
        QVERIFY2(started, "the writer did not start");
        QThread::usleep(random.bounded(20000));
        int status = 0;
        killedWhileRunning += ::waitpid(child, &status, WNOHANG) == 0 ? 1 : 0;
        QCOMPARE(::kill(child, SIGKILL), 0);
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        // Every file is whole: exactly the bytes of one generation, never older than before.
        for (int index = 0; index < bindingCount; ++index) {
            const auto generation = bindingGeneration(folder + u"/bindings/%1.json"_s.arg(index), index);
            QVERIFY2(generation, qPrintable(u"round %1, binding %2"_s.arg(round).arg(index)));
            QVERIFY(*generation >= previous[index]);
            previous[index] = *generation;
        }
        const auto generation = profilesGeneration(folder + u"/profiles.json"_s);
        QVERIFY2(generation, qPrintable(u"round %1, profiles"_s.arg(round)));
        QVERIFY(*generation >= previous[bindingCount]);
        previous[bindingCount] = *generation;
    }
    QCOMPARE(killedWhileRunning, killCount);
    QCOMPARE(KeyBindingFileStore(folder + u"/bindings"_s).load().size(), bindingCount);
    qInfo("%d writers killed mid-loop, every file whole; generations reached: profiles %lld, binding 0 %lld, "
          "binding %d %lld",
          killCount, previous[bindingCount], previous[0], bindingCount - 1, previous[bindingCount - 1]);
}

void StorageReliabilityTest::bindingReader()
{
    Damage damage(1);
    const QByteArray valid = validBinding();
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        const QString folder = freshCase(u"binding"_s);
        const QByteArray bytes = damage(valid);
        writeBytes(folder + u"/3.json"_s, bytes);
        const QList<KeyBinding> loaded = KeyBindingFileStore(folder).load();
        // Either the binding it holds, or skipped; the file is never touched.
        QVERIFY(loaded.size() <= 1);
        if (!loaded.isEmpty())
            QCOMPARE(KeyBinding::fromJson(loaded.first().toJson()), loaded.first());
        read += int(loaded.size());
        QCOMPARE(readBytes(folder + u"/3.json"_s), bytes);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    }
    report("binding file", casesPerReader, read);
}

void StorageReliabilityTest::profilesReader()
{
    Damage damage(2);
    const QByteArray valid = JSONFile::encode(profilesOfGeneration(1).toJson());
    const ProfilesFile fresh = ProfilesFile{{Profile{Profile::defaultID(), u"Default"_s}}, Profile::defaultID()};
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        const QString path = freshCase(u"profiles"_s) + u"/profiles.json"_s;
        const QByteArray bytes = damage(valid);
        writeBytes(path, bytes);
        ProfileJSONStore store(path);
        const ProfilesFile loaded = store.load(u"Default"_s);
        // As read with the file untouched, or the default state written over the bad file.
        const QByteArray after = readBytes(path);
        QVERIFY(after == bytes || (loaded == fresh && after == JSONFile::encode(fresh.toJson())));
        read += after == bytes ? 1 : 0;
        QCOMPARE(store.load(u"Default"_s), loaded);
    }
    report("profiles file", casesPerReader, read);
}

void StorageReliabilityTest::jumpCountsReader()
{
    Damage damage(3);
    const QByteArray valid = JSONFile::encode(JumpCountsJSONStore::toJson({{u"A"_s, 3}, {u"B"_s, 1}}));
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        const QString folder = freshCase(u"jumps"_s);
        const QString path = folder + u"/jumps.json"_s;
        const QByteArray bytes = damage(valid);
        writeBytes(path, bytes);
        JumpCountsJSONStore store(path);
        const JumpCounts loaded = store.load();
        if (QFileInfo::exists(path)) {
            QCOMPARE(readBytes(path), bytes);
            QCOMPARE(store.load(), loaded);
            ++read;
        } else {
            // Moved aside whole, and loading starts empty.
            QVERIFY(loaded.isEmpty());
            const QStringList aside = QDir(folder).entryList({u"jumps.corrupt-*.json"_s});
            QCOMPARE(aside.size(), 1);
            QCOMPARE(readBytes(folder + u'/' + aside.first()), bytes);
        }
    }
    report("jump-count file", casesPerReader, read);
}

void StorageReliabilityTest::legacyReader()
{
    Damage damage(4);
    const QByteArray valid = validLegacy();
    const QByteArray existing = "existing binding file, not to be touched";
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        const QString folder = freshCase(u"legacy"_s);
        const QString legacy = folder + u"/key-bindings.json"_s;
        const QByteArray bytes = damage(valid);
        writeBytes(legacy, bytes);
        QDir().mkpath(folder + u"/bindings"_s);
        writeBytes(folder + u"/bindings/0.json"_s, existing);

        LegacyBindingsMigration::migrateIfNeeded(legacy, folder + u"/bindings"_s, folder + u"/jumps.json"_s);

        QCOMPARE(readBytes(folder + u"/bindings/0.json"_s), existing);
        const QString migrated = folder + u"/key-bindings.migrated.json"_s;
        if (QFileInfo::exists(legacy)) {
            // Left in place, unchanged, with nothing migrated.
            QCOMPARE(readBytes(legacy), bytes);
            QVERIFY(!QFileInfo::exists(migrated));
            QCOMPARE(QDir(folder + u"/bindings"_s).entryList(QDir::Files).size(), 1);
            QVERIFY(!QFileInfo::exists(folder + u"/jumps.json"_s));
        } else {
            QCOMPARE(readBytes(migrated), bytes);
            ++read;
        }
    }
    report("legacy file", casesPerReader, read);
}

void StorageReliabilityTest::shortcutsReader()
{
    Damage damage(5);
    const QByteArray valid = validShortcuts();
    const QString path = m_dir.filePath(u"shortcuts.json"_s);
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        writeBytes(path, damage(valid));
        try {
            for (const KeyBinding& binding : ShortcutsFile::read(path))
                QVERIFY(binding.createdAt.isValid());
            ++read;
        } catch (const JSONFile::Error&) {
            // Refused with the unreadable message; any other exception fails the test.
        }
    }
    report("shortcuts file", casesPerReader, read);
}

void StorageReliabilityTest::preferencesReader()
{
    Damage damage(6);
    const QString source = m_dir.filePath(u"valid-preferences.json"_s);
    {
        JSONFileUserDefaults defaults(source);
        defaults.setData(u"menuKey"_s, QByteArray("{}"));
        defaults.setDictionary(u"d"_s, QVariantMap{{u"enabled"_s, true}});
    }
    const QByteArray valid = readBytes(source);
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        const QString folder = freshCase(u"preferences"_s);
        const QString path = folder + u"/preferences.json"_s;
        const QByteArray bytes = damage(valid);
        writeBytes(path, bytes);
        JSONFileUserDefaults defaults(path);
        QVERIFY(QFileInfo::exists(path) ? readBytes(path) == bytes
                                        : QDir(folder).entryList({u"preferences.corrupt-*.json"_s}).size() == 1);
        read += QFileInfo::exists(path) ? 1 : 0;
    }
    report("preferences file", casesPerReader, read);
}

void StorageReliabilityTest::changelogReader()
{
    Damage damage(7);
    const QByteArray valid = readBytes(QStringLiteral(JUMPLET_SOURCE_DIR "/Resources/CHANGELOG.md"));
    QVERIFY(!ChangelogParser::parse(valid).isEmpty());
    int read = 0;
    for (int i = 0; i < casesPerReader; ++i) {
        const QList<ChangelogEntry> entries = ChangelogParser::parse(damage(valid));
        for (const ChangelogEntry& entry : entries)
            QVERIFY(!entry.version.isEmpty());
        read += entries.isEmpty() ? 0 : 1;
    }
    report("changelog", casesPerReader, read);
}

QTEST_GUILESS_MAIN(StorageReliabilityTest)

#include "tst_storagereliability.moc"
