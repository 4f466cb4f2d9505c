// A Windows desktop shell that opens and holds nothing: test shells derive from it and script
// only the operations their tests are about.
#pragma once

#include "desktop/win32/desktop_shell.h"

class EmptyShell : public DesktopShell {
public:
    bool OpenDesktopView() override { return true; }
    bool OpenDesktopFolder() override { return true; }
    bool OpenImageList() override { return true; }
    std::optional<std::int32_t> ViewItemCount() override { return 0; }
    bool ViewItemAt(std::int32_t, ShellViewItem&) override { return false; }
    std::int32_t FolderItemCount() override { return 0; }
    ShellFolderItem FolderItemAt(std::int32_t) override { return {}; }
    ShellIcon IconAt(std::int32_t) override { return {}; }
    std::vector<unsigned char> CaptureIconPixels(IconHandle, std::int32_t&, std::int32_t&) override { return {}; }
    void DestroyIcon(IconHandle) override {}
    std::string QueryWallpaperPath() override { return {}; }
    std::optional<Color> QueryDesktopColor() override { return std::nullopt; }
};
