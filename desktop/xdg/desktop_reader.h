// Reading the desktop as the running environment shows it, in this process: its items and their
// places, the icon size, each item's icon found in the theme and decoded, and the wallpaper
// setting. The capture runs it in its reading child (xdg_capture.cpp), where whatever the user's
// files do to the libraries that read them stays; the home-tree fuzzer runs it here.
#pragma once

#include "desktop/xdg/desktop_snapshot.h"
#include "desktop/xdg/environments.h"
#include "desktop/xdg/icon_lookup.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class DesktopReader {
public:
    // Everything but the images, as the session's environment shows it.
    DesktopSnapshot ReadHead(const DesktopSession& session);

    std::size_t ImageCount() const { return paths.size(); }

    // Image index's pixels; none when it has no file, cannot be decoded, or the desktop's icons
    // have had their share of memory or of the time to read the desktop.
    std::optional<RgbaImage> DecodeImage(std::size_t index);

private:
    std::int32_t ImageIndex(const XdgIconRequest& request);

    std::int32_t iconSize = 48;
    std::optional<IconThemeLookup> theme;
    std::vector<std::string> paths;  // each image's file; empty: the generic image
    std::unordered_map<std::string, std::int32_t> indexByPath;
    std::unordered_map<std::string, std::int32_t> indexByRequest;
    std::int64_t decodedIconPixels = 0;
};
