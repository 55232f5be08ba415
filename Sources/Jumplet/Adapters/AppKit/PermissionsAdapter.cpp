#include "PermissionsAdapter.h"

#include "AccessibilityServices.h"
#include "Workspace.h"

#include <QUrl>

using namespace Qt::StringLiterals;

PermissionsAdapter::PermissionsAdapter(AccessibilityServices& accessibility, Workspace& workspace)
    : accessibility(accessibility), workspace(workspace)
{
}

PermissionStatus PermissionsAdapter::currentStatus()
{
    return PermissionStatus{accessibility.isProcessTrusted()};
}

void PermissionsAdapter::requestAccessibility()
{
    accessibility.isProcessTrustedWithOptions(true);
}

void PermissionsAdapter::openAccessibilitySettings()
{
    open(u"x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"_s);
}

void PermissionsAdapter::open(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    if (parsed.isValid())
        workspace.openUrl(parsed);
}
