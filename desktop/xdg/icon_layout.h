// Where a desktop shows each item, in the terms every desktop shares: a grid of slots filled from
// a start corner, positions the user recorded (as slots or as pixels), the name order file
// managers sort by, and the arrangement an environment hands back. Calls no environment.
#pragma once

#include "core/geometry.h"
#include "desktop/desktop_capture.h"
#include "desktop/xdg/desktop_folder.h"
#include "desktop/xdg/screen_facts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// A desktop's grid of slots, in window pixels: where the icon image of slot (column, row) lies.
struct SlotGrid {
    ShellPoint first{0, 0};  // the icon's top-left in slot (0, 0), the start corner's slot
    double stepX = 96;  // from one column to the next; column k is first.x + trunc(k * stepX)
    double stepY = 96;  // from one row to the next
    std::int32_t columns = 1;
    std::int32_t rows = 1;
    bool rowMajor = false;  // fill a row before the next; else a column before the next
    bool fromRight = false;   // the fill starts at the right-hand column (the start corner)
    bool fromBottom = false;  // the fill starts at the bottom row
    // Where cells share out a span unevenly: column k starts floor(spanX * k / columns) from the
    // first (the same for rows), instead of k * step. 0: even steps.
    std::int32_t spanX = 0;
    std::int32_t spanY = 0;
};

struct Slot {
    std::int32_t column = 0;
    std::int32_t row = 0;
    bool operator<(const Slot& other) const { return column != other.column ? column < other.column : row < other.row; }
};

ShellPoint SlotIcon(const SlotGrid& grid, Slot slot);
// The slot whose icon lies nearest to an icon at point (clamped into the grid).
Slot NearestSlot(const SlotGrid& grid, ShellPoint point);

// Where an item was put by the user: a slot of the grid, or an icon position in window pixels.
struct RecordedPlace {
    std::optional<Slot> slot;
    std::optional<ShellPoint> point;
};

// Places the items in the given order: recorded slots and points first (a slot already taken
// sends its item to the nearest free one), then the rest into the free slots in fill order (a
// slot outside the grid counts as no record). Items recorded at points wholly outside the window
// are left out (no position).
std::vector<std::optional<ShellPoint>> PlaceIcons(const SlotGrid& grid, const std::vector<RecordedPlace>& records,
                                                  std::int32_t iconSize, ScreenSize window);

// The order file managers show by default: by display name as people read names (numbers by
// value, in the user's collation), optionally folders first.
std::vector<std::size_t> NameOrder(const std::vector<XdgDesktopItem>& items, bool foldersFirst);

// The view: which item (an index into the shown items) and its icon's top-left in window pixels.
struct XdgViewItem {
    std::size_t item;
    ShellPoint position;
};

// What an environment shows: its items (its own icons included), in its order at its places.
struct IconArrangement {
    std::int32_t iconSize = 48;
    std::vector<XdgDesktopItem> items;  // everything the desktop shows, its own icons included
    std::vector<XdgViewItem> view;      // in the desktop's order; items left out have no entry
};

// Columns of equal cells from margin pixels into the work area, the icon at iconInCell in a cell.
SlotGrid ColumnsOfCells(const ScreenFacts& screen, std::int32_t margin, std::int32_t cellWidth, std::int32_t cellHeight,
                        ShellPoint iconInCell);

// Turns the places the environment gives its items (in its order) into the view.
IconArrangement Arranged(std::int32_t iconSize, std::vector<XdgDesktopItem> items, const std::vector<std::size_t>& order,
                         const std::vector<std::optional<ShellPoint>>& positions);
