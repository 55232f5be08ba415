#pragma once

// What to do when the synchronised folder already holds an entry about to be carried there.
enum class SyncStart {
    adoptCloud,  // keep what is there and do not copy over it
    replaceCloud // set what is there aside, then copy over it
};
