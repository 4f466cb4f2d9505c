// Where a desktop shows each item, in the terms every desktop shares: a grid of slots filled from
// a start corner, positions the user recorded (as slots or as pixels), and the name order file
// managers sort by. The environments' own geometry lives in their readers.
#include "desktop/xdg/icon_layout.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

std::int64_t Offset(std::int32_t index, double step, std::int32_t span, std::int32_t count) {
    if (span == 0 || count <= 0) return static_cast<std::int64_t>(index * step);
    const std::int64_t offset = std::int64_t{std::abs(span)} * index / count;
    return span < 0 ? -offset : offset;
}

}  // namespace

ShellPoint SlotIcon(const SlotGrid& grid, Slot slot) {
    const auto clamp = [](std::int64_t value) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
    };
    return ShellPoint{clamp(grid.first.x + Offset(slot.column, grid.stepX, grid.spanX, grid.columns)),
                      clamp(grid.first.y + Offset(slot.row, grid.stepY, grid.spanY, grid.rows))};
}

Slot NearestSlot(const SlotGrid& grid, ShellPoint point) {
    const auto nearest = [](std::int32_t value, std::int32_t first, double step, std::int32_t count) {
        if (step == 0 || count <= 1) return 0;
        const double index = static_cast<double>(std::int64_t{value} - first) / step;
        if (!std::isfinite(index)) return 0;
        return static_cast<std::int32_t>(std::clamp<double>(std::lround(index), 0, count - 1));
    };
    return Slot{nearest(point.x, grid.first.x, grid.stepX, grid.columns), nearest(point.y, grid.first.y, grid.stepY, grid.rows)};
}

namespace {

// Slot number k in fill order.
Slot SlotAt(const SlotGrid& grid, std::int64_t k) {
    Slot slot = grid.rowMajor ? Slot{static_cast<std::int32_t>(k % grid.columns), static_cast<std::int32_t>(k / grid.columns)}
                              : Slot{static_cast<std::int32_t>(k / grid.rows), static_cast<std::int32_t>(k % grid.rows)};
    if (grid.fromRight) slot.column = grid.columns - 1 - slot.column;
    if (grid.fromBottom) slot.row = grid.rows - 1 - slot.row;
    return slot;
}

bool Overlaps(ShellPoint a, ShellPoint b, std::int32_t size) {
    return std::llabs(std::int64_t{a.x} - b.x) < size && std::llabs(std::int64_t{a.y} - b.y) < size;
}

}  // namespace

std::vector<std::optional<ShellPoint>> PlaceIcons(const SlotGrid& grid, const std::vector<RecordedPlace>& records,
                                                  std::int32_t iconSize, ScreenSize window) {
    std::vector<std::optional<ShellPoint>> placed(records.size());
    std::set<Slot> taken;
    std::vector<ShellPoint> fixedPoints;
    const std::int64_t slotCount = std::int64_t{std::max(grid.columns, 1)} * std::max(grid.rows, 1);
    const auto visible = [&](ShellPoint point) {
        return point.x < window.width && point.y < window.height && std::int64_t{point.x} + iconSize > 0 &&
               std::int64_t{point.y} + iconSize > 0;
    };
    // Recorded places first, in order; a slot outside the grid counts as no record.
    std::vector<bool> recorded(records.size(), false);
    for (std::size_t i = 0; i < records.size(); ++i) {
        recorded[i] = records[i].point.has_value();
        if (records[i].point) {
            if (visible(*records[i].point)) {
                placed[i] = records[i].point;
                fixedPoints.push_back(*records[i].point);
            }
        } else if (records[i].slot) {
            Slot slot = *records[i].slot;
            if (slot.column < 0 || slot.row < 0 || slot.column >= grid.columns || slot.row >= grid.rows) continue;
            recorded[i] = true;
            if (taken.count(slot)) {
                // The nearest free slot, by distance in slots.
                std::int64_t best = -1, bestDistance = 0;
                for (std::int64_t k = 0; k < slotCount && k < 1000000; ++k) {
                    const Slot candidate = SlotAt(grid, k);
                    if (taken.count(candidate)) continue;
                    const std::int64_t dx = candidate.column - slot.column, dy = candidate.row - slot.row;
                    if (best < 0 || dx * dx + dy * dy < bestDistance) {
                        best = k;
                        bestDistance = dx * dx + dy * dy;
                    }
                }
                if (best < 0) continue;
                slot = SlotAt(grid, best);
            }
            taken.insert(slot);
            placed[i] = SlotIcon(grid, slot);
        }
    }
    // The rest into free slots, skipping those a recorded pixel position covers.
    std::int64_t next = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (recorded[i]) continue;
        while (next < slotCount) {
            const Slot slot = SlotAt(grid, next++);
            const ShellPoint icon = SlotIcon(grid, slot);
            if (taken.count(slot) ||
                std::any_of(fixedPoints.begin(), fixedPoints.end(), [&](ShellPoint p) { return Overlaps(p, icon, iconSize); }))
                continue;
            taken.insert(slot);
            placed[i] = icon;
            break;
        }
        // A full desktop stacks the rest in its last slot, as desktops do when they run out of room.
        if (!placed[i] && slotCount > 0) placed[i] = SlotIcon(grid, SlotAt(grid, slotCount - 1));
    }
    return placed;
}

std::vector<std::size_t> NameOrder(const std::vector<XdgDesktopItem>& items, bool foldersFirst) {
    struct Key {
        bool directory;
        std::string collation;
        std::size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        gchar* collation = g_utf8_collate_key_for_filename(items[i].displayName.c_str(), -1);
        keys.push_back(Key{foldersFirst && items[i].isDirectory, collation ? collation : "", i});
        g_free(collation);
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.directory != b.directory) return a.directory;
        if (a.collation != b.collation) return a.collation < b.collation;
        return items[a.index].fileName < items[b.index].fileName;
    });
    std::vector<std::size_t> order;
    order.reserve(keys.size());
    for (const Key& key : keys) order.push_back(key.index);
    return order;
}

SlotGrid ColumnsOfCells(const ScreenFacts& screen, std::int32_t margin, std::int32_t cellWidth, std::int32_t cellHeight,
                        ShellPoint iconInCell) {
    SlotGrid grid;
    grid.stepX = cellWidth;
    grid.stepY = cellHeight;
    grid.columns = std::max(1, (screen.workWidth - 2 * margin) / cellWidth);
    grid.rows = std::max(1, (screen.workHeight - 2 * margin) / cellHeight);
    grid.first = ShellPoint{screen.workX + margin + iconInCell.x, screen.workY + margin + iconInCell.y};
    return grid;
}

IconArrangement Arranged(std::int32_t iconSize, std::vector<XdgDesktopItem> items, const std::vector<std::size_t>& order,
                         const std::vector<std::optional<ShellPoint>>& positions) {
    IconArrangement arrangement;
    arrangement.iconSize = iconSize;
    for (std::size_t k = 0; k < order.size() && k < positions.size(); ++k)
        if (positions[k]) arrangement.view.push_back(XdgViewItem{order[k], *positions[k]});
    arrangement.items = std::move(items);
    return arrangement;
}
