tell application id "com.mitchellh.ghostty"
    set windowIDs to id of windows
    if (count of windowIDs) < 2 then return ""
    set frontID to id of front window
end tell
set nextID to missing value
set lowestID to item 1 of windowIDs
repeat with windowID in windowIDs
    set windowID to contents of windowID
    if windowID < lowestID then set lowestID to windowID
    if windowID > frontID and (nextID is missing value or windowID < nextID) then set nextID to windowID
end repeat
if nextID is missing value then set nextID to lowestID
tell application id "com.mitchellh.ghostty" to activate window (window id nextID)
return nextID