// Fuzzes the show's reading of the desktop the reading child saw: the child works on the user's
// files, so its answer is read as carefully as they are.
#include "desktop/xdg/desktop_snapshot.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<DesktopSnapshot> snapshot =
        DecodeSnapshot(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!snapshot) return 0;
    // What the show relies on: every index in range, every image within the icon size.
    for (const XdgViewItem& entry : snapshot->view)
        if (entry.item >= snapshot->items.size()) std::abort();
    for (const SnapshotItem& item : snapshot->items)
        if (item.imageIndex >= static_cast<std::int32_t>(snapshot->images.size())) std::abort();
    for (const std::optional<RgbaImage>& image : snapshot->images)
        if (image && (image->width > snapshot->iconSize || image->height > snapshot->iconSize ||
                      image->pixels.size() != static_cast<std::size_t>(image->width) * image->height * 4))
            std::abort();
    return 0;
}
