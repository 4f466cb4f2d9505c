// The desktop as the reading child saw it, and its way back to the show: the items with their
// names and images, where the view shows them, the icon size and the wallpaper setting, then the
// decoded icon images one by one. The child writes it as it goes; the show decodes whatever
// arrived, so a child stopped at its deadline still leaves the items and the images read so far.
#pragma once

#include "core/rgba_image.h"
#include "desktop/desktop_capture.h"
#include "desktop/xdg/icon_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SnapshotItem {
    std::string displayName;       // UTF-8
    std::int32_t imageIndex = -1;  // into images; -1: none
};

struct DesktopSnapshot {
    bool readable = true;  // false: the desktop folder is there but could not be read
    std::int32_t iconSize = 48;
    std::vector<SnapshotItem> items;
    std::vector<XdgViewItem> view;
    WallpaperSetting wallpaper;
    std::vector<std::optional<RgbaImage>> images;  // none: not decoded (the generic image stands in)
};

// The first part: everything but the images (their count included).
std::string EncodeSnapshotHead(const DesktopSnapshot& snapshot);
// One decoded image, after the head.
std::string EncodeSnapshotImage(std::int32_t index, const RgbaImage& image);

// What the bytes hold; none when even the head did not arrive whole. Anything malformed ends the
// reading there: counts and sizes beyond the desktop's limits, indices out of range, images of a
// size other than the icon size allows, colours that are no colours.
std::optional<DesktopSnapshot> DecodeSnapshot(std::string_view bytes);
