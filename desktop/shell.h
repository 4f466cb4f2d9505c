// The seam between the desktop mirror and the platform's desktop shell: the desktop view's items
// (name and position), the desktop folder's items (name and icon index), the icon images, the
// wallpaper. Implementations only return data; pairing, filtering and drawing are portable code.
// One implementation per platform: win32/ (COM, shell, GDI) and xdg/ (freedesktop).
#pragma once

#include "core/geometry.h"
#include "core/rgba_image.h"
#include "desktop/image_pixels.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A point in screen pixels, origin top-left, y down.
struct ShellPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// One item of the desktop view, as the view enumerates it.
struct ShellViewItem {
    std::u16string name;  // display name, at most 259 code units; empty when it could not be read
    ShellPoint position;
    // The folder item this is, where the platform knows it (the freedesktop shell does); without
    // it the capture pairs by name, and two items of one name would share the first one's image.
    std::optional<std::int32_t> folderIndex;
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
    // The gradient the desktop shows where it has no picture, on platforms that draw one.
    virtual std::optional<ColorGradient> QueryDesktopGradient() { return std::nullopt; }
    // Decodes the bytes of an image file that the portable decoder cannot read (vector images,
    // formats of the platform's own), fitted into fitWidth x fitHeight when it has no natural size
    // or a larger one. The bytes, not the path: the file is read once, and what was checked is
    // what is decoded. None when the platform cannot decode it either.
    virtual std::optional<RgbaImage> DecodeWithPlatform(const std::string& bytes, std::int32_t fitWidth,
                                                        std::int32_t fitHeight) = 0;
};

// The shell of the platform this program was built for.
std::unique_ptr<DesktopShell> CreateDesktopShell();
