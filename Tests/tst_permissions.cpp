#include "AppKit/PermissionsAdapter.h"
#include "LoginItem.h"
#include "Simulated/SimulatedAccessibility.h"
#include "Simulated/SimulatedServiceManagement.h"
#include "Simulated/SimulatedWorkspace.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using Status = ServiceManagement::Status;

class TestPermissions : public QObject {
    Q_OBJECT

private slots:
    void statusFollowsTheSystemWithoutPrompting();
    void requestPromptsAndSettingsOpenThePrivacyPage();
    void loginItemRegistersAndReportsTheSystemError();
    void loginItemIsOnOnlyWhenEnabled_data();
    void loginItemIsOnOnlyWhenEnabled();
};

void TestPermissions::statusFollowsTheSystemWithoutPrompting()
{
    SimulatedAccessibility accessibility;
    SimulatedWorkspace workspace;
    PermissionsAdapter permissions(accessibility, workspace);

    QCOMPARE(permissions.currentStatus(), PermissionStatus{false});
    accessibility.trusted = true;
    QCOMPARE(permissions.currentStatus(), PermissionStatus{true});
    QCOMPARE(accessibility.prompts, 0);
    QVERIFY(workspace.openedUrls.isEmpty());
}

void TestPermissions::requestPromptsAndSettingsOpenThePrivacyPage()
{
    SimulatedAccessibility accessibility;
    SimulatedWorkspace workspace;
    PermissionsAdapter permissions(accessibility, workspace);

    permissions.requestAccessibility();
    QCOMPARE(accessibility.prompts, 1);
    permissions.openAccessibilitySettings();
    QCOMPARE(workspace.openedUrls.size(), 1);
    QCOMPARE(workspace.openedUrls.first().toString(),
             u"x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"_s);
}

void TestPermissions::loginItemRegistersAndReportsTheSystemError()
{
    SimulatedServiceManagement service;
    QCOMPARE(LoginItem::set(service, true), std::nullopt);
    QVERIFY(LoginItem::isEnabled(service));
    QCOMPARE(LoginItem::set(service, false), std::nullopt);
    QVERIFY(!LoginItem::isEnabled(service));

    service.error = u"Operation not permitted"_s;
    QCOMPARE(LoginItem::set(service, true), std::optional(u"Operation not permitted"_s));
    QVERIFY(!LoginItem::isEnabled(service));
    QCOMPARE(service.calls, (QStringList{u"register"_s, u"unregister"_s, u"register"_s}));
}

void TestPermissions::loginItemIsOnOnlyWhenEnabled_data()
{
    QTest::addColumn<Status>("status");
    QTest::addColumn<bool>("on");
    QTest::newRow("enabled") << Status::enabled << true;
    QTest::newRow("not registered") << Status::notRegistered << false;
    QTest::newRow("requires approval") << Status::requiresApproval << false;
    QTest::newRow("not found") << Status::notFound << false;
}

void TestPermissions::loginItemIsOnOnlyWhenEnabled()
{
    QFETCH(Status, status);
    QFETCH(bool, on);
    SimulatedServiceManagement service;
    service.status = status;
    QCOMPARE(LoginItem::isEnabled(service), on);
}

QTEST_GUILESS_MAIN(TestPermissions)
#include "tst_permissions.moc"
