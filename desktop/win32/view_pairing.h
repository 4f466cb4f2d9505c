// The desktop's icons as the Windows capture pairs them: every item of the desktop view (place
// and label) with the desktop folder's item of the same display name (its icon), each icon drawn
// into straight-alpha RGBA at once. Plain logic over the DesktopShell interface.
#pragma once

#include "desktop/desktop_capture.h"
#include "desktop/win32/desktop_shell.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Finds desktop-folder items by exact display name. Built once from the folder's items; the
// first item of a name with a valid icon index wins, which is what a walk from the start of the
// folder finds.
class FolderNameIndex {
public:
    explicit FolderNameIndex(DesktopShell& shell);
    // The icon index of the first folder item named exactly name, or none.
    std::optional<std::int32_t> Find(const std::u16string& name) const;

private:
    std::vector<std::pair<std::u16string, std::int32_t>> sorted;  // (name, icon index), first wins
};

// Opens the view, the folder and the image list and captures every icon: positions and labels
// from the view, images from the folder item of the same name, drawn into pixels and the icon
// handle destroyed right away. None when the desktop cannot be read at all (exit code 1); an
// empty desktop is an empty list.
std::optional<std::vector<DesktopIcon>> CaptureDesktopIcons(DesktopShell& shell);
