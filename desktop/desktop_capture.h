// The desktop's icons as the program captures them once at start-up: every item of the desktop
// view paired by display name with the desktop folder's item that supplies its image. Portable:
// it speaks only to the DesktopShell seam.
#pragma once

#include "desktop/shell.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DesktopIcon {
    ShellPoint position;     // top-left corner of the icon's image in window pixels
    std::int32_t width = 0;  // size of the icon's colour bitmap, 0 when it cannot be read
    std::int32_t height = 0;
    std::u16string label;     // the view's display name
    IconHandle icon = nullptr;  // owned until its texture is made; then destroyed and cleared
};

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
// from the view, images from the folder item of the same name. None when the desktop cannot be
// read at all (exit code 1); an empty desktop is an empty list.
std::optional<std::vector<DesktopIcon>> CaptureDesktopIcons(DesktopShell& shell);

// Destroys every icon handle the records still hold (on paths that end before the textures are
// made) and empties the list.
void ReleaseDesktopIcons(DesktopShell& shell, std::vector<DesktopIcon>& icons);
