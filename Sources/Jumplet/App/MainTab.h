#pragma once

#include <QHashFunctions>
#include <QList>

// The tabs of the main window, in the order the tab bar shows them.
enum class MainTab { shortcuts, general };

inline QList<MainTab> allMainTabs()
{
    return {MainTab::shortcuts, MainTab::general};
}

inline size_t qHash(MainTab tab, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(tab), seed);
}
