on run argv
    tell application id (item 1 of argv)
        set windowIDs to {}
        repeat with candidate in windows
            try
                if visible of candidate and id of candidate > 0 then
                    -- Minimised windows stay minimised. Not every app has the property.
                    set isMinimised to false
                    try
                        set isMinimised to miniaturized of candidate
                    end try
                    if not isMinimised then set end of windowIDs to id of candidate
                end if
            end try
        end repeat
        if (count of windowIDs) < 2 then return ""
        set frontID to id of window 1
    end tell
    set nextID to missing value
set lowestID to item 1 of windowIDs
repeat with windowID in windowIDs
    set windowID to contents of windowID
    if windowID < lowestID then set lowestID to windowID
    if windowID > frontID and (nextID is missing value or windowID < nextID) then set nextID to windowID
end repeat
if nextID is missing value then set nextID to lowestID
    tell application id (item 1 of argv)
        set index of window id nextID to 1
        activate
    end tell
    return nextID
end run