#include "DesktopSystemValues.h"

#include "Logic/HyperKeyStateMachine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStyleHints>

bool DesktopSystemValues::isSecureInputEnabled()
{
    return false;
}

bool DesktopSystemValues::isNextWindowShortcutOff()
{
    return false;
}

bool DesktopSystemValues::isLauncherHyperKeyOnCapsLock()
{
    return false;
}

double DesktopSystemValues::doubleClickInterval()
{
    // Style hints need a GUI application; without one, the common desktop default.
    const int milliseconds =
        qGuiApp != nullptr ? QGuiApplication::styleHints()->mouseDoubleClickInterval() : 400;
    return milliseconds / 1000.0;
}

double DesktopSystemValues::uptime()
{
    return HyperKeyStateMachine::systemUptime();
}

QStringList DesktopSystemValues::commandLineArguments()
{
    return QCoreApplication::arguments();
}
