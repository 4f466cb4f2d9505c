// The seam between the desktop mirror and the platform: one call that reads the user's desktop
// and hands it over as data (each icon's place, label and pixels, the icon size, the wallpaper
// setting). One implementation per platform: win32/ (the shell's desktop view) and xdg/ (the
// freedesktop desktop as its environment shows it). Everything above it is portable.
#pragma once

#include "core/geometry.h"
#include "core/rgba_image.h"
#include "desktop/image_pixels.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A point in screen pixels, origin top-left of the primary monitor, y down.
struct ShellPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// One icon as the desktop shows it.
struct DesktopIcon {
    ShellPoint position;     // top-left corner of the icon's image in window pixels
    std::int32_t width = 0;  // the box the image is drawn in; 0 when the platform could not size it
    std::int32_t height = 0;
    std::u16string label;    // the desktop's display name
    // Straight-alpha RGBA, top row first; empty when the platform could not draw it (the icon
    // then shows the wallpaper). Handed to the GPU once, then released.
    RgbaImage image;
};

// The backdrop the desktop shows: its picture, or where it has none its colour or gradient.
struct WallpaperSetting {
    std::string path;                       // a readable local picture; empty: no picture
    std::optional<Color> color;             // the plain colour (the first of a gradient)
    std::optional<ColorGradient> gradient;  // set when the colour is shaded
};

struct CapturedDesktop {
    std::vector<DesktopIcon> icons;  // in the desktop's own order; later ones cover earlier ones
    std::int32_t iconSize = 48;      // the desktop's icon size in pixels
    WallpaperSetting wallpaper;
};

// Reads the desktop once, before the window exists. None when it cannot be read at all (the
// platform says why where it can; the show ends with exit code 1); an empty desktop has no icons.
std::optional<CapturedDesktop> CaptureDesktop();

// Decodes the bytes of an image file that the portable decoder cannot read (vector images,
// formats of the platform's own), fitted into fitWidth x fitHeight when it has no natural size
// or a larger one. The bytes, not the path: the file is read once, and what was checked is what
// is decoded. None when the platform cannot decode it either.
std::optional<RgbaImage> DecodeWithPlatform(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight);
