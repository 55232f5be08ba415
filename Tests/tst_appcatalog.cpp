#include "AppKit/AppCatalogAdapter.h"
#include "Simulated/SimulatedBundleReader.h"
#include "Simulated/SimulatedWorkspace.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Writes a bundle folder with an Info.plist holding the given string entries (and one integer entry).
void makeBundle(const QString& path, const QMap<QString, QString>& strings, const QString& integerKey = {})
{
    QVERIFY(QDir().mkpath(path + u"/Contents"_s));
    QString plist = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"_s;
    for (auto it = strings.begin(); it != strings.end(); ++it)
        plist += u"  <key>%1</key>\n  <string>%2</string>\n"_s.arg(it.key(), it.value());
    if (!integerKey.isEmpty())
        plist += u"  <key>%1</key>\n  <integer>7</integer>\n"_s.arg(integerKey);
    plist +=
        u"  <key>LSRequiresNativeExecution</key>\n  <true/>\n"_s
        u"  <key>CFBundleDocumentTypes</key>\n  <array><dict><key>x</key><string>y</string></dict></array>\n"_s
        u"</dict>\n</plist>\n"_s;
    QFile file(path + u"/Contents/Info.plist"_s);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(plist.toUtf8());
}

void makeApp(const QString& path, const QString& id, const QString& name)
{
    QMap<QString, QString> strings{{u"CFBundleIdentifier"_s, id}};
    if (!name.isEmpty())
        strings.insert(u"CFBundleName"_s, name);
    makeBundle(path, strings);
}

QStringList names(const QList<AppInfo>& apps)
{
    QStringList list;
    for (const AppInfo& app : apps)
        list.append(app.name);
    return list;
}

struct Fixture {
    QTemporaryDir root;
    QString home = root.path() + u"/Users/me"_s;
    SimulatedWorkspace workspace;
    SimulatedBundleReader bundles;
    AppCatalogAdapter catalogue{workspace, bundles, root.path(), home};

    QString at(const QString& relative) const { return root.path() + relative; }
};

} // namespace

class TestAppCatalog : public QObject {
    Q_OBJECT

private slots:
    void scansTheFoldersInPrecedenceOrder();
    void namesAndSortOrder();
    void appOutsideTheFoldersIsKnownButNotListed();
    void scansOnFirstUseAndAgainOnRefresh();
};

void TestAppCatalog::scansTheFoldersInPrecedenceOrder()
{
    Fixture f;
    makeApp(f.at(u"/Applications/Dup.app"_s), u"com.example.dup"_s, u"Dup"_s);
    makeApp(f.home + u"/Applications/Dup.app"_s, u"com.example.dup"_s, u"Dup Copy"_s);
    makeApp(f.home + u"/Applications/Mine.app"_s, u"com.example.mine"_s, u"Mine"_s);
    makeApp(f.at(u"/System/Applications/Mail.app"_s), u"com.apple.mail"_s, u"Mail"_s);
    makeApp(f.at(u"/System/Applications/Utilities/Terminal.app"_s), u"com.apple.Terminal"_s, u"Terminal"_s);
    makeApp(f.at(u"/Applications/Suite/Inner.app"_s), u"com.example.inner"_s, u"Inner"_s);
    makeApp(f.at(u"/Applications/Notes.APP"_s), u"com.example.notes"_s, u"Notes"_s);
    makeBundle(f.at(u"/Applications/Anonymous.app"_s), {{u"CFBundleName"_s, u"Anonymous"_s}});
    QFile plainFile(f.at(u"/Applications/File.app"_s));
    QVERIFY(plainFile.open(QIODevice::WriteOnly));
    makeApp(f.at(u"/System/Library/CoreServices/Finder.app"_s), u"com.apple.finder"_s, u"Finder"_s);
    makeApp(f.at(u"/System/Library/CoreServices/Other.app"_s), u"com.apple.other"_s, u"Other"_s);

    const QList<AppInfo> apps = f.catalogue.installedApplications();
    QCOMPARE(names(apps), (QStringList{u"Dup"_s, u"Finder"_s, u"Mail"_s, u"Mine"_s, u"Terminal"_s}));
    QCOMPARE(apps[0], (AppInfo{u"com.example.dup"_s, u"Dup"_s, f.at(u"/Applications/Dup.app"_s)}));
    QCOMPARE(apps[1].path, f.at(u"/System/Library/CoreServices/Finder.app"_s));
    QCOMPARE(apps[3].path, f.home + u"/Applications/Mine.app"_s);
}

void TestAppCatalog::namesAndSortOrder()
{
    Fixture f;
    const QString folder = f.at(u"/Applications/"_s);
    makeApp(folder + u"Tool.app"_s, u"com.example.tool"_s, {});
    makeApp(folder + u"A10.app"_s, u"com.example.a10"_s, u"App 10"_s);
    makeApp(folder + u"A9.app"_s, u"com.example.a9"_s, u"App 9"_s);
    makeApp(folder + u"G.app"_s, u"com.example.gamma"_s, u"Gamma"_s);
    makeApp(folder + u"B.app"_s, u"com.example.beta"_s, u"beta"_s);
    makeBundle(folder + u"Shown.app"_s, {{u"CFBundleIdentifier"_s, u"com.example.shown"_s},
                                         {u"CFBundleName"_s, u"Short"_s},
                                         {u"CFBundleDisplayName"_s, u"Display"_s}});
    makeBundle(folder + u"Numbered.app"_s, {{u"CFBundleIdentifier"_s, u"com.example.numbered"_s}},
               u"CFBundleDisplayName"_s);
    makeBundle(folder + u"Blank.app"_s, {{u"CFBundleIdentifier"_s, u"com.example.blank"_s},
                                         {u"CFBundleName"_s, u"Named"_s},
                                         {u"CFBundleDisplayName"_s, QString()}});

    QCOMPARE(names(f.catalogue.installedApplications()),
             (QStringList{u"App 9"_s, u"App 10"_s, u"beta"_s, u"Display"_s, u"Gamma"_s, u"Named"_s,
                          u"Numbered"_s, u"Tool"_s}));
}

void TestAppCatalog::appOutsideTheFoldersIsKnownButNotListed()
{
    Fixture f;
    makeApp(f.at(u"/Applications/Editor.app"_s), u"com.example.editor"_s, u"Editor"_s);
    const QString developer = u"/Developer/Applications/Simulator.app"_s;
    f.workspace.applicationPaths.insert(u"com.apple.simulator"_s, developer);
    f.workspace.applicationPaths.insert(u"com.example.editor"_s, u"/elsewhere/Editor.app"_s);

    QCOMPARE(f.catalogue.appInfoForBundleIdentifier(u"com.example.editor"_s)->path,
             f.at(u"/Applications/Editor.app"_s));
    QCOMPARE(f.catalogue.appInfoForBundleIdentifier(u"com.apple.simulator"_s),
             (AppInfo{u"com.apple.simulator"_s, u"Simulator"_s, developer}));
    QCOMPARE(f.catalogue.appInfoForBundleIdentifier(u"com.example.missing"_s), std::nullopt);
    QCOMPARE(names(f.catalogue.installedApplications()), QStringList{u"Editor"_s});

    // Kept until the next scan, which drops it.
    f.workspace.applicationPaths.remove(u"com.apple.simulator"_s);
    QVERIFY(f.catalogue.appInfoForBundleIdentifier(u"com.apple.simulator"_s));
    f.catalogue.refresh();
    QCOMPARE(f.catalogue.appInfoForBundleIdentifier(u"com.apple.simulator"_s), std::nullopt);
}

void TestAppCatalog::scansOnFirstUseAndAgainOnRefresh()
{
    Fixture f;
    makeApp(f.at(u"/Applications/One.app"_s), u"com.example.one"_s, u"One"_s);
    QVERIFY(f.catalogue.appInfoForBundleIdentifier(u"com.example.one"_s));

    makeApp(f.at(u"/Applications/Two.app"_s), u"com.example.two"_s, u"Two"_s);
    QCOMPARE(names(f.catalogue.installedApplications()), QStringList{u"One"_s});
    QVERIFY(QDir(f.at(u"/Applications/One.app"_s)).removeRecursively());
    f.catalogue.refresh();
    QCOMPARE(names(f.catalogue.installedApplications()), QStringList{u"Two"_s});
}

QTEST_GUILESS_MAIN(TestAppCatalog)
#include "tst_appcatalog.moc"
