// The pcmanfm family's shared reading: saved places, the default order, the arrangement.
#include "desktop/xdg/environments/pcmanfm.h"

#include <algorithm>
#include <cstdio>

namespace pcmanfm {

std::map<std::string, ShellPoint> SavedPlaces(const IniFile& file, const char* xKey, const char* yKey, bool qtPoint) {
    std::map<std::string, ShellPoint> places;
    for (const IniFile::Group& group : file.groups) {
        if (group.name == "*") continue;
        int x = 0, y = 0;
        if (qtPoint) {
            const std::string* point = group.Find("pos");
            if (point == nullptr || std::sscanf(point->c_str(), "@Point(%d %d)", &x, &y) != 2) continue;
        } else {
            const std::string* xText = group.Find(xKey);
            const std::string* yText = group.Find(yKey);
            if (xText == nullptr || yText == nullptr || std::sscanf(xText->c_str(), "%d", &x) != 1 ||
                std::sscanf(yText->c_str(), "%d", &y) != 1)
                continue;
        }
        places[group.name] = ShellPoint{x, y};
    }
    return places;
}

std::vector<std::size_t> ModifiedOrder(const std::vector<XdgDesktopItem>& files) {
    std::vector<std::size_t> byName = NameOrder(files, false);
    std::stable_sort(byName.begin(), byName.end(),
                     [&](std::size_t a, std::size_t b) { return files[a].modified < files[b].modified; });
    return byName;
}

std::optional<IconArrangement> ArrangeFolder(std::vector<XdgDesktopItem> items, std::size_t first,
                                             std::vector<XdgDesktopItem> files, const std::vector<std::size_t>& fileOrder,
                                             const SlotGrid& grid, std::int32_t icon,
                                             const std::map<std::string, RecordedPlace>& saved, const ScreenFacts& screen) {
    const std::size_t specials = items.size();
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < first; ++i) order.push_back(i);
    for (const std::size_t index : fileOrder) order.push_back(specials + index);
    for (std::size_t i = first; i < specials; ++i) order.push_back(i);
    for (XdgDesktopItem& file : files) items.push_back(std::move(file));
    std::vector<RecordedPlace> records(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const XdgDesktopItem& item = items[order[k]];
        const auto found = saved.find(order[k] < specials ? item.displayName : item.fileName);
        if (found != saved.end()) records[k] = found->second;
    }
    const auto positions = PlaceIcons(grid, records, icon, ScreenSize{screen.width, screen.height});
    return Arranged(icon, std::move(items), order, positions);
}

}  // namespace pcmanfm
