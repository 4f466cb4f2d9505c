// The desktop's reading: the environment's arrangement, the icon of each item, the wallpaper.
#include "desktop/xdg/desktop_reader.h"

#include "desktop/xdg/image_files.h"
#include "desktop/xdg/reading_limits.h"

#include <stdlib.h>

#include <algorithm>
#include <clocale>

using reading_limits::MaxDecodedIconPixels;
using reading_limits::MaxIconDecodeSeconds;

DesktopSnapshot DesktopReader::ReadHead(const DesktopSession& session) {
    DesktopSnapshot snapshot;
    // Names sort as the user's locale sorts them.
    std::setlocale(LC_COLLATE, "");
    std::optional<IconArrangement> arrangement = ArrangeDesktopIcons(session);
    if (!arrangement) {
        snapshot.readable = false;
        return snapshot;
    }
    iconSize = std::clamp(arrangement->iconSize, 16, 256);
    snapshot.iconSize = iconSize;
    snapshot.view = std::move(arrangement->view);
    theme.emplace(XdgIconThemeName(), IconSearchPath());
    for (const XdgDesktopItem& item : arrangement->items)
        snapshot.items.push_back(SnapshotItem{item.displayName, ImageIndex(item.icon)});
    snapshot.images.resize(paths.size());
    snapshot.wallpaper = ReadWallpaperSetting(session);
    return snapshot;
}

std::optional<RgbaImage> DesktopReader::DecodeImage(std::size_t index) {
    const std::int64_t pixels = std::int64_t{iconSize} * iconSize;
    const double secondsLeft = std::min(DesktopReadingSecondsLeft(), MaxIconDecodeSeconds);
    if (index >= paths.size() || paths[index].empty() || decodedIconPixels + pixels > MaxDecodedIconPixels ||
        secondsLeft <= 0)
        return std::nullopt;
    std::optional<RgbaImage> image = LoadIconImage(paths[index], iconSize, secondsLeft);
    if (image) decodedIconPixels += std::int64_t{image->width} * image->height;
    return image;
}

// The index of the image a request resolves to, adding the image when it is new.
std::int32_t DesktopReader::ImageIndex(const XdgIconRequest& request) {
    std::string requestKey = request.file;
    for (const std::string& name : request.names) requestKey += "\n" + name;
    if (auto known = indexByRequest.find(requestKey); known != indexByRequest.end()) return known->second;

    std::string path = request.file;
    if (path.empty() && !request.names.empty()) path = theme->Choose(request.names, iconSize);
    // One image per file, however many names and links lead to it.
    if (!path.empty()) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            path = real;
            free(real);
        }
    }
    std::int32_t index;
    if (auto known = indexByPath.find(path); known != indexByPath.end()) {
        index = known->second;
    } else {
        index = static_cast<std::int32_t>(paths.size());
        paths.push_back(path);
        indexByPath.emplace(path, index);
    }
    indexByRequest.emplace(std::move(requestKey), index);
    return index;
}
