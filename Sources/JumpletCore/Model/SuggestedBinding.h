#pragma once

#include "AppInfo.h"
#include "BoundKey.h"

// A proposed binding: an application and a free letter key for it.
struct SuggestedBinding {
    AppInfo app;
    BoundKey key;

    friend bool operator==(const SuggestedBinding&, const SuggestedBinding&) = default;
};
