// Cinnamon.
// Icons: nemo's desktop (org.nemo.desktop): Computer, Home, volumes and Trash before the files,
// sorted by name; positions from the files' metadata (gvfs) and nemo's own key file, used only
// with auto-layout off; the rest on nemo's grid of its own cells, the leftover space split
// around it.
// Wallpaper: GNOME's background keys under org.cinnamon.desktop.background (gnome_background.h),
// gradients edge to edge.
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/gnome_background.h"
#include "desktop/xdg/environments/nemo_caja.h"
#include "desktop/xdg/gsettings_reader.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

using namespace nemo_caja;

namespace {

constexpr Flavour Nemo{"org.nemo.desktop", "metadata::nemo-icon-position", "nemo/desktop-metadata",
                       "nemo-icon-position", false, false, false, false, "Home"};

std::optional<IconArrangement> ArrangeNemo(const ScreenFacts& screen, Shown shown, const IniFile& metadata) {
    const GSettingsReader desktop(Nemo.desktopSchema);
    // nemo's cells (nemo-icon-view-grid-container.c update_layout_constants,
    // nemo-centered-placement-grid.c): 130 x 100 px at the standard zoom, scaled by the grid
    // adjustments; the canvas's leftover split evenly before and after the cells; the icon centred
    // across a cell and raised from its middle by half of the icon and its label's lines.
    const double across = std::clamp(desktop.Double("horizontal-grid-adjust").value_or(1.0), 0.1, 10.0);
    const double down = std::clamp(desktop.Double("vertical-grid-adjust").value_or(1.0), 0.1, 10.0);
    const std::int32_t snapX = std::max(1, static_cast<std::int32_t>(130.0 * across));
    const std::int32_t snapY = std::max(1, static_cast<std::int32_t>(100.0 * down));
    const LabelFont font(desktop.String("font").value_or("Noto Sans 10"), screen.gtk3Dpi);
    PangoLayout* test = font.Layout("Test");
    pango_layout_set_width(test, static_cast<int>(std::floor(120.0 * across)) * PANGO_SCALE);
    pango_layout_set_ellipsize(test, PANGO_ELLIPSIZE_END);
    int lineHeight = 0;
    pango_layout_get_pixel_size(test, nullptr, &lineHeight);
    g_object_unref(test);
    const std::int32_t lines = std::clamp(desktop.Integer("text-ellipsis-limit").value_or(2), -100, 100);
    const std::int32_t raise = std::min((lineHeight * lines + Icon + 4 + 1) / 2, snapY / 2);

    SlotGrid grid;
    grid.columns = std::max(1, screen.workWidth / snapX);
    grid.rows = std::max(1, screen.workHeight / snapY);
    const ShellPoint border{(screen.workWidth - grid.columns * snapX) / 2, (screen.workHeight - grid.rows * snapY) / 2};
    grid.first = InWindow(screen, ShellPoint{border.x + snapX / 2 - Icon / 2, border.y + snapY / 2 - raise});
    grid.stepX = snapX;
    grid.stepY = snapY;
    // The cell holding an icon's nominal point (C division, as nemo's), perhaps outside the grid.
    const auto cellOf = [&](ShellPoint icon) {
        const std::int64_t x = std::int64_t{icon.x} + Icon / 2 - snapX / 2 - border.x;
        const std::int64_t y = std::int64_t{icon.y} - snapY / 2 + raise - border.y;
        return Slot{static_cast<std::int32_t>(std::clamp<std::int64_t>(x / snapX, -1, grid.columns)),
                    static_cast<std::int32_t>(std::clamp<std::int64_t>(y / snapY, -1, grid.rows))};
    };
    const std::int64_t cells = std::min<std::int64_t>(std::int64_t{grid.columns} * grid.rows, 1 << 24);
    std::vector<bool> taken(static_cast<std::size_t>(cells), false);
    const auto number = [&](Slot slot) {
        return std::int64_t{std::clamp(slot.column, 0, grid.columns - 1)} * grid.rows + std::clamp(slot.row, 0, grid.rows - 1);
    };
    // Takes the first free cell from k on in column order; a full grid stacks on its last cell.
    const auto takeFrom = [&](std::int64_t k) {
        while (k < cells - 1 && taken[static_cast<std::size_t>(k)]) ++k;
        taken[static_cast<std::size_t>(k)] = true;
        return k;
    };
    const auto iconAt = [&](std::int64_t k) {
        return SlotIcon(grid, Slot{static_cast<std::int32_t>(k / grid.rows), static_cast<std::int32_t>(k % grid.rows)});
    };

    const std::vector<std::size_t> order = SortOrder(shown, true);
    std::vector<std::optional<ShellPoint>> positions(order.size());
    // Icons recorded for another monitor are on that monitor's desktop.
    std::vector<bool> placed(order.size(), false);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const XdgDesktopItem& item = shown.items[order[k]];
        placed[k] = item.recordedPosition && item.recordedMonitor >= 0 && item.recordedMonitor != screen.monitorIndex;
    }
    // By default nemo lays the desktop out itself, ignoring recorded positions; they count once
    // the user turned that off for the monitor.
    const std::string* automatic =
        metadata.Find("desktop-monitor-" + std::to_string(screen.monitorIndex), "nemo-icon-view-auto-layout");
    if (automatic != nullptr && *automatic == "false") {
        // Recorded on this monitor: exactly there (kept inside the canvas), holding the one cell
        // under its nominal point. Recorded without a monitor: moved to the first free cell from
        // its own on, its own counting as taken (as nemo 5.6 did in one measurement).
        std::vector<std::pair<std::size_t, ShellPoint>> unsure;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const XdgDesktopItem& item = shown.items[order[k]];
            if (!item.recordedPosition || placed[k]) continue;
            placed[k] = true;
            const ShellPoint at{std::clamp(item.recordedPosition->x, 0, std::max(0, screen.workWidth - Icon)),
                                std::clamp(item.recordedPosition->y, 0, std::max(0, screen.workHeight - Icon))};
            const Slot cell = cellOf(at);
            if ((at.x > 0 || at.y > 0) && cell.column >= 0 && cell.row >= 0 && cell.column < grid.columns &&
                cell.row < grid.rows)
                taken[static_cast<std::size_t>(number(cell))] = true;
            if (item.recordedMonitor >= 0) positions[k] = InWindow(screen, at);
            else unsure.emplace_back(k, at);
        }
        for (const auto& [k, at] : unsure) positions[k] = iconAt(takeFrom(number(cellOf(at))));
    }
    std::int64_t next = 0;
    for (std::size_t k = 0; k < order.size(); ++k)
        if (!placed[k]) positions[k] = iconAt(next = takeFrom(next));
    return Arranged(Icon, std::move(shown.items), order, positions);
}

}  // namespace

std::optional<IconArrangement> CinnamonDesktopIcons(const DesktopSession& session) {
    const GSettingsReader desktop("org.nemo.desktop");
    // "shown on the primary monitor::shown on the others"
    const std::string layout = desktop.String("desktop-layout").value_or("true::false");
    const bool shown = desktop.Boolean("show-desktop-icons").value_or(true) && layout.rfind("true", 0) == 0;
    const IniFile metadata = ReadMetadata(Nemo);
    std::optional<Shown> items = ReadShown(Nemo, metadata);
    if (!items) return std::nullopt;
    if (!shown) return IconArrangement{};
    return ArrangeNemo(session.screen, std::move(*items), metadata);
}

// Cinnamon's settings daemon draws with its own copy of gnome-bg: gradients edge to edge.
std::optional<WallpaperSetting> CinnamonWallpaper(const DesktopSession& session) {
    return GnomeStyleBackground("org.cinnamon.desktop.background",
                                {false, false, true, GradientRamp::EdgeToEdge, session.now, session.screen});
}
