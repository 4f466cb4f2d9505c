// Pairing of desktop view items with desktop folder items, and the count and filtering rules of
// the capture.
#include "desktop/win32/view_pairing.h"

#include <algorithm>

FolderNameIndex::FolderNameIndex(DesktopShell& shell) {
    const std::int32_t count = shell.FolderItemCount();
    sorted.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (std::int32_t i = 0; i < count; ++i) {
        ShellFolderItem item = shell.FolderItemAt(i);
        // An item without an icon index is passed over by the search, so a later item of the
        // same name can still match.
        if (item.iconIndex < 0) continue;
        sorted.emplace_back(std::move(item.name), item.iconIndex);
    }
    // Stable, so among equal names the first in folder order stays first.
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::optional<std::int32_t> FolderNameIndex::Find(const std::u16string& name) const {
    auto found = std::lower_bound(sorted.begin(), sorted.end(), name,
                                  [](const auto& entry, const std::u16string& wanted) { return entry.first < wanted; });
    if (found == sorted.end() || found->first != name) return std::nullopt;
    return found->second;
}

std::optional<std::vector<DesktopIcon>> CaptureDesktopIcons(DesktopShell& shell) {
    if (!shell.OpenDesktopView()) return std::nullopt;
    if (!shell.OpenDesktopFolder()) return std::nullopt;
    if (!shell.OpenImageList()) return std::nullopt;

    const std::int32_t viewCount = shell.ViewItemCount().value_or(0);
    const std::int32_t count = std::max(0, std::min(viewCount, shell.FolderItemCount()));

    std::vector<DesktopIcon> icons;
    if (count == 0) return icons;
    const FolderNameIndex folder(shell);
    icons.reserve(static_cast<std::size_t>(count));
    for (std::int32_t index = 0; index < count; ++index) {
        ShellViewItem viewItem;
        if (!shell.ViewItemAt(index, viewItem)) continue;
        const std::optional<std::int32_t> iconIndex = folder.Find(viewItem.name);
        if (!iconIndex) continue;
        const ShellIcon image = shell.IconAt(*iconIndex);
        if (image.icon == nullptr) continue;
        DesktopIcon icon;
        icon.position = viewItem.position;
        icon.width = image.width;
        icon.height = image.height;
        icon.label = std::move(viewItem.name);
        // Drawn now, so that what crosses the seam is pixels; an icon that cannot be drawn keeps
        // its place and size and shows the wallpaper.
        std::int32_t width = 0, height = 0;
        std::vector<unsigned char> pixels = shell.CaptureIconPixels(image.icon, width, height);
        if (width > 0 && height > 0 && pixels.size() >= static_cast<std::size_t>(width) * height * 4) {
            pixels.resize(static_cast<std::size_t>(width) * height * 4);
            icon.image = RgbaImage{width, height, std::move(pixels)};
        }
        shell.DestroyIcon(image.icon);
        icons.push_back(std::move(icon));
    }
    return icons;
}
