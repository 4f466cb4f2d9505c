// The Windows shell as the capture walks it: the desktop view's items (name and position), the
// desktop folder's items (name and icon index), the system image list's icons, the wallpaper.
// The real one speaks COM, shell and GDI (win32_shell.cpp); the pairing of view and folder items
// (view_pairing.h) is plain logic over this interface, so tests can script a shell of their own.
#pragma once

#include "core/geometry.h"
#include "core/rgba_image.h"
#include "desktop/desktop_capture.h"
#include "desktop/image_pixels.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One item of the desktop view, as the view enumerates it.
struct ShellViewItem {
    std::u16string name;  // display name, at most 259 code units; empty when it could not be read
    ShellPoint position;
};

// One child of the desktop folder.
struct ShellFolderItem {
    std::u16string name;          // display name; empty when it could not be read
    std::int32_t iconIndex = -1;  // index into the system image list, -1 when there is none
};

// An owned icon image (an HICON on Windows). Opaque to portable code; only the shell that made
// it may read or destroy it.
struct ShellIconTag;
using IconHandle = ShellIconTag*;

struct ShellIcon {
    IconHandle icon = nullptr;  // none when the image list could not give the image
    std::int32_t width = 0;     // size of the icon's colour bitmap; 0 x 0 when it cannot be read
    std::int32_t height = 0;
};

class DesktopShell {
public:
    DesktopShell() = default;
    DesktopShell(const DesktopShell&) = delete;
    DesktopShell& operator=(const DesktopShell&) = delete;
    // Releases whatever the shell still holds (view, folder, item lists). Icons handed out must
    // have been destroyed with DestroyIcon before.
    virtual ~DesktopShell() = default;

    // Opens the view that shows the desktop icons. False ends the start-up with exit code 1.
    virtual bool OpenDesktopView() = 0;
    // Opens the desktop folder and collects its children (hidden ones are not asked for).
    // False ends the start-up with exit code 1.
    virtual bool OpenDesktopFolder() = 0;
    // Opens the extra-large system image list. False ends the start-up with exit code 1.
    virtual bool OpenImageList() = 0;

    // The number of items in the view; none when it cannot be read.
    virtual std::optional<std::int32_t> ViewItemCount() = 0;
    // The view's item number index. True when the item was found and its position was read; a
    // name that cannot be read stays empty and does not make the result false.
    virtual bool ViewItemAt(std::int32_t index, ShellViewItem& item) = 0;

    // The number of children the desktop folder enumerated.
    virtual std::int32_t FolderItemCount() = 0;
    // Child number index of the desktop folder, 0 <= index < FolderItemCount().
    virtual ShellFolderItem FolderItemAt(std::int32_t index) = 0;

    // A private copy of image iconIndex of the system image list with its bitmap's size.
    virtual ShellIcon IconAt(std::int32_t iconIndex) = 0;
    // Renders the icon at its natural size into RGBA pixels, top row first, with untouched
    // pixels transparent black. Empty when the icon cannot be read.
    virtual std::vector<unsigned char> CaptureIconPixels(IconHandle icon, std::int32_t& width,
                                                         std::int32_t& height) = 0;
    virtual void DestroyIcon(IconHandle icon) = 0;

    // The wallpaper's file path as the platform records it; empty when none is set.
    virtual std::string QueryWallpaperPath() = 0;
    // The desktop's plain background colour where the platform records one.
    virtual std::optional<Color> QueryDesktopColor() = 0;
};

// The live Windows shell.
std::unique_ptr<DesktopShell> CreateDesktopShell();
