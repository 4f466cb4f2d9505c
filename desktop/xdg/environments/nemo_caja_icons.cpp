// The desktops of nemo (Cinnamon) and caja (MATE), both descended from one file manager: file
// positions in the files' metadata ("x,y", the icon's top-left in the desktop's canvas, whose
// origin is the work area's corner), the desktop's own icons (Home, Computer, Trash, volumes) per
// their settings with positions in a key file of their own. They place the rest differently:
// nemo on a grid of its own cells, caja in columns that follow each label's size.
#include "desktop/xdg/desktop_icons.h"
#include "desktop/xdg/gsettings_reader.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::int32_t Icon = 48;  // both at their standard zoom

// What differs between the two.
struct Flavour {
    const char* desktopSchema;      // the *-icon-visible keys
    const char* positionKey;        // per-file metadata
    const char* metadataFile;       // the desktop's own icons' positions, under ~/.config
    const char* positionName;       // their key in that file
    bool computerDefault, homeDefault, trashDefault, volumesDefault;
    const char* homeLabel;          // "%s" is the user's name
};

constexpr Flavour Nemo{"org.nemo.desktop", "metadata::nemo-icon-position", "nemo/desktop-metadata",
                       "nemo-icon-position", false, false, false, false, "Home"};
constexpr Flavour Caja{"org.mate.caja.desktop", "metadata::caja-icon-position", "caja/desktop-metadata",
                       "caja-icon-position", true, true, true, true, "%s's Home"};

std::optional<ShellPoint> ParsePoint(const std::string* text) {
    int x = 0, y = 0;
    if (text == nullptr || std::sscanf(text->c_str(), "%d,%d", &x, &y) != 2) return std::nullopt;
    return ShellPoint{x, y};
}

// The shown items, with what each desktop sorts by: its own icons by kind, the files by name.
struct Shown {
    std::vector<XdgDesktopItem> items;
    std::optional<std::size_t> computer, home, trash;
    std::vector<std::size_t> volumes;
    std::vector<std::size_t> files;  // by display name
};

// A desktop icon for a place, labelled as the user renamed it, with its recorded position.
std::optional<std::size_t> AddPlace(Shown& shown, const GSettingsReader& desktop, const IniFile& metadata,
                                    const Flavour& flavour, SpecialPlace place, const char* key, bool shownByDefault,
                                    const std::string& label) {
    if (!desktop.Boolean((std::string(key) + "-icon-visible").c_str()).value_or(shownByDefault)) return std::nullopt;
    const std::string custom = desktop.String((std::string(key) + "-icon-name").c_str()).value_or("");
    XdgDesktopItem item = SpecialItem(place, custom.empty() ? label : custom);
    item.recordedPosition = ParsePoint(metadata.Find(key, flavour.positionName));
    if (const std::string* monitor = metadata.Find(key, "monitor"))
        item.recordedMonitor = static_cast<int>(g_ascii_strtoll(monitor->c_str(), nullptr, 10));
    shown.items.push_back(std::move(item));
    return shown.items.size() - 1;
}

std::optional<Shown> ReadShown(const Flavour& flavour, const IniFile& metadata) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory(), flavour.positionKey);
    if (!files) return std::nullopt;
    const GSettingsReader desktop(flavour.desktopSchema);
    Shown shown;
    gchar* home = g_strdup_printf(flavour.homeLabel, g_get_user_name());
    shown.computer = AddPlace(shown, desktop, metadata, flavour, SpecialPlace::Computer, "computer",
                              flavour.computerDefault, "Computer");
    shown.home = AddPlace(shown, desktop, metadata, flavour, SpecialPlace::Home, "home", flavour.homeDefault, home);
    g_free(home);
    shown.trash = AddPlace(shown, desktop, metadata, flavour, SpecialPlace::Trash, "trash", flavour.trashDefault, "Trash");
    if (desktop.Boolean("volumes-visible").value_or(flavour.volumesDefault))
        for (XdgDesktopItem& volume : MountedVolumes()) {
            volume.recordedPosition = ParsePoint(metadata.Find(volume.fileName, flavour.positionName));
            shown.items.push_back(std::move(volume));
            shown.volumes.push_back(shown.items.size() - 1);
        }
    const std::size_t first = shown.items.size();
    for (const std::size_t index : NameOrder(*files, false)) shown.files.push_back(first + index);
    for (XdgDesktopItem& file : *files) shown.items.push_back(std::move(file));
    return shown;
}

// Computer, Home, the volumes, then the Trash before the files (nemo) or after them (caja).
std::vector<std::size_t> SortOrder(const Shown& shown, bool trashFirst) {
    std::vector<std::size_t> order;
    for (const auto& place : {shown.computer, shown.home})
        if (place) order.push_back(*place);
    order.insert(order.end(), shown.volumes.begin(), shown.volumes.end());
    if (trashFirst && shown.trash) order.push_back(*shown.trash);
    order.insert(order.end(), shown.files.begin(), shown.files.end());
    if (!trashFirst && shown.trash) order.push_back(*shown.trash);
    return order;
}

// Pango as GTK 3 sets it up for a widget: the desktop's font at the screen's resolution.
class LabelFont {
public:
    LabelFont(const std::string& font, double dpi)
        : map(pango_cairo_font_map_new()), context(pango_font_map_create_context(map)),
          description(pango_font_description_from_string(font.empty() ? "Sans 10" : font.c_str())) {
        pango_cairo_context_set_resolution(context, dpi);
        // A hostile size would make every layout huge.
        if (pango_font_description_get_size(description) > 200 * PANGO_SCALE)
            pango_font_description_set_size(description, 200 * PANGO_SCALE);
    }
    ~LabelFont() {
        pango_font_description_free(description);
        g_object_unref(context);
        g_object_unref(map);
    }
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    PangoLayout* Layout(const std::string& text) const {
        PangoLayout* layout = pango_layout_new(context);
        pango_layout_set_font_description(layout, description);
        pango_layout_set_text(layout, text.c_str(), static_cast<int>(std::min<std::size_t>(text.size(), 4096)));
        return layout;
    }

private:
    PangoFontMap* map;
    PangoContext* context;
    PangoFontDescription* description;
};

std::int32_t Pixels(int pangoUnits) { return (pangoUnits + PANGO_SCALE / 2) / PANGO_SCALE; }

// The icon's window position from a canvas position.
ShellPoint InWindow(const ScreenFacts& screen, ShellPoint canvas) {
    return ShellPoint{screen.workX + canvas.x, screen.workY + canvas.y};
}

// ---- nemo -------------------------------------------------------------------------------------

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

// ---- caja -------------------------------------------------------------------------------------

// caja's layout constants (caja-icon-container.c): a 10 px pad and a snapping grid of 78 x 20 px.
constexpr std::int32_t Pad = 10, SnapX = 78, SnapY = 20;

// An item's box as caja's layout sees it (caja-icon-canvas-item.c measure_label_text,
// ensure_bounds_up_to_date), relative to the icon's top-left: the label's width plus 8 centred
// under the icon, the icon, 1 px, the label's lines plus 2 and 1 px more. "entire" counts all
// the label's lines, the layout at most the lines caja shows.
struct CajaBox {
    std::int32_t left = 0;  // 0 or less: where a wide label starts
    std::int32_t width = Icon + 1;
    std::int32_t height = Icon + 2;
    std::int32_t entireHeight = Icon + 2;
};

CajaBox MeasureCajaItem(const LabelFont& font, const std::string& name, std::int32_t lineLimit) {
    // caja lets names break after '_' and '-', and after '.' unless a digit follows that does
    // not begin three digits (create_label_layout), with zero-width spaces.
    std::string text;
    for (std::size_t i = 0; i < name.size() && i < 4096; ++i) {
        text += name[i];
        const auto digit = [&](std::size_t at) { return at < name.size() && g_ascii_isdigit(name[at]); };
        if (name[i] == '_' || name[i] == '-' || (name[i] == '.' && (!digit(i + 1) || (digit(i + 2) && digit(i + 3)))))
            text += "\xE2\x80\x8B";
    }
    PangoLayout* layout = font.Layout(text);
    pango_layout_set_auto_dir(layout, FALSE);
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_width(layout, 135 * PANGO_SCALE);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    pango_layout_set_height(layout, G_MININT);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    const std::int32_t entire = Pixels(logical.height);
    std::int32_t shown = entire;
    if (lineLimit > 0 && pango_layout_get_line_count(layout) > lineLimit) {
        shown = 0;
        PangoLayoutIter* line = pango_layout_get_iter(layout);
        for (std::int32_t i = 0; i < lineLimit; ++i) {
            pango_layout_iter_get_line_extents(line, nullptr, &logical);
            shown += Pixels(logical.height);
            if (!pango_layout_iter_next_line(line)) break;
        }
        pango_layout_iter_free(line);
    }
    pango_layout_set_height(layout, lineLimit > 0 ? -lineLimit : G_MININT);
    pango_layout_get_extents(layout, nullptr, &logical);
    const std::int32_t textWidth = Pixels(logical.width) + 8;
    g_object_unref(layout);
    CajaBox box;
    const std::int32_t textLeft = Icon / 2 - textWidth / 2;
    box.left = std::min(0, textLeft);
    box.width = std::max(Icon, textLeft + textWidth) + 1 - box.left;
    box.height = Icon + shown + 2 + 2;
    box.entireHeight = Icon + entire + 2 + 2;
    return box;
}

// Where caja moves an icon it is given a place for (icon_set_position): into the canvas, 10 px
// from its edges, counting the whole item.
ShellPoint CajaClamp(ShellPoint at, const CajaBox& box, ScreenSize canvas) {
    const auto clamp = [](std::int32_t value, std::int32_t low, std::int32_t high) {
        return value > high ? high : (value < low ? low : value);  // GLib's CLAMP
    };
    return ShellPoint{clamp(at.x, Pad - box.left, canvas.width - Pad - box.width - box.left),
                      clamp(at.y, Pad, canvas.height - Pad - box.entireHeight)};
}

// Nothing recorded: columns from the top-left (lay_down_icons_vertical_desktop). Each icon's
// baseline snaps down onto the 20 px grid below the one above, so rows follow the labels'
// heights; a column is centred on a 78 px grid line past half its widest item.
std::vector<ShellPoint> CajaColumns(const std::vector<CajaBox>& boxes, ScreenSize canvas) {
    const auto snapDown = [](std::int32_t y) {
        return static_cast<std::int32_t>(std::ceil(static_cast<double>(y + Icon - Pad) / SnapY)) * SnapY + Pad - Icon;
    };
    std::vector<ShellPoint> positions(boxes.size());
    std::int32_t x = Pad;
    for (std::size_t first = 0; first < boxes.size();) {
        std::int32_t y = Pad, widest = 0;
        for (std::size_t k = first; k < boxes.size(); ++k) {
            y = snapDown(y);
            if (y != Pad && y + boxes[k].entireHeight > canvas.height) break;
            widest = std::max(widest, boxes[k].width);
            y += boxes[k].height + Pad;
        }
        const std::int32_t centre =
            static_cast<std::int32_t>(std::ceil(static_cast<double>(x + widest / 2 - Pad) / SnapX)) * SnapX + Pad;
        y = Pad;
        std::size_t k = first;
        for (; k < boxes.size(); ++k) {
            y = snapDown(y);
            if (y != Pad && y > canvas.height - boxes[k].entireHeight && k != first) {
                x = centre + widest / 2 + Pad;
                break;
            }
            positions[k] = CajaClamp(ShellPoint{centre - Icon / 2, y}, boxes[k], canvas);
            y += boxes[k].height + Pad;
        }
        first = k;
    }
    return positions;
}

// Some icons recorded: they stay, and each other icon goes to the first place down the columns
// of 78 x 20 px cells where its box covers no cell a placed box covers (find_empty_location).
class CajaCells {
public:
    explicit CajaCells(ScreenSize canvas)
        : canvas(canvas), columns(std::max(1, canvas.width / SnapX)), rows(std::max(1, canvas.height / SnapY)),
          marks(static_cast<std::size_t>(columns) * rows, false) {}

    void Mark(ShellPoint at, const CajaBox& box) { Cover(at.x + box.left, at.y, box, true); }

    ShellPoint FindPlace(const CajaBox& box) {
        // The first column's start, as snap_position leaves it, then down by 20 px and on by 78.
        ShellPoint at{Pad + SnapX - Icon / 2, Pad + SnapY - Icon};
        for (;;) {
            const bool newColumn = at.y + box.entireHeight + Pad > canvas.height;
            if (!newColumn && !Cover(at.x, at.y, box, false)) break;
            at.y += SnapY;
            if (newColumn) {
                at.y = Pad + SnapY - Icon;
                while (at.y < Pad) at.y += SnapY;
                at.x += SnapX;
            }
            if (at.x + box.width >= canvas.width) break;
        }
        return CajaClamp(at, box, canvas);
    }

private:
    // Marks the cells a box from (x, y) covers, or tells whether any of them is marked.
    bool Cover(std::int32_t x, std::int32_t y, const CajaBox& box, bool mark) {
        const auto cell = [](std::int32_t value, std::int32_t pad, std::int32_t size, std::int32_t low, std::int32_t count) {
            const auto index = static_cast<std::int32_t>(std::floor(static_cast<double>(value - pad) / size));
            return std::clamp(index, low, count - 1);
        };
        const std::int32_t x0 = cell(x, Pad, SnapX, 0, columns), x1 = cell(x + box.width, Pad, SnapX, x0, columns);
        const std::int32_t y0 = cell(y, Pad, SnapY, 0, rows), y1 = cell(y + box.height, Pad, SnapY, y0, rows);
        for (std::int32_t column = x0; column <= x1; ++column)
            for (std::int32_t row = y0; row <= y1; ++row) {
                const std::size_t at = static_cast<std::size_t>(column) * rows + row;
                if (mark) marks[at] = true;
                else if (marks[at]) return true;
            }
        return false;
    }

    ScreenSize canvas;
    std::int32_t columns, rows;
    std::vector<bool> marks;
};

std::optional<IconArrangement> ArrangeCaja(const ScreenFacts& screen, Shown shown) {
    const GSettingsReader desktop(Caja.desktopSchema);
    const LabelFont font(desktop.String("font").value_or("Sans 10"), screen.gtk3Dpi);
    const std::int32_t lines = desktop.Integer("text-ellipsis-limit").value_or(3);
    std::vector<CajaBox> boxes;
    boxes.reserve(shown.items.size());
    for (const XdgDesktopItem& item : shown.items) boxes.push_back(MeasureCajaItem(font, item.displayName, lines));
    const ScreenSize canvas{screen.workWidth, screen.workHeight};

    std::vector<std::optional<ShellPoint>> places(shown.items.size());
    const bool anyRecorded = std::any_of(shown.items.begin(), shown.items.end(),
                                         [](const XdgDesktopItem& item) { return item.recordedPosition.has_value(); });
    if (!anyRecorded) {
        const std::vector<std::size_t> order = SortOrder(shown, false);
        std::vector<CajaBox> inOrder;
        for (const std::size_t index : order) inOrder.push_back(boxes[index]);
        const std::vector<ShellPoint> columns = CajaColumns(inOrder, canvas);
        for (std::size_t k = 0; k < order.size(); ++k) places[order[k]] = columns[k];
    } else {
        CajaCells cells(canvas);
        // A recorded place is kept as it is, only kept 10 px inside the canvas: caja moves the
        // icon there before it has an image or label (the bounds of an empty item are 1 x 2 px).
        for (std::size_t i = 0; i < shown.items.size(); ++i) {
            if (!shown.items[i].recordedPosition) continue;
            places[i] = CajaClamp(*shown.items[i].recordedPosition, CajaBox{0, 1, 2, 2}, canvas);
            cells.Mark(*places[i], boxes[i]);
        }
        // The others in the reverse of the order caja added them: measured on caja 1.26 as Home,
        // Trash, the files by descending name, Computer. (Where volumes go was not measured.)
        std::vector<std::size_t> added;
        for (const auto& place : {shown.home, shown.trash})
            if (place) added.push_back(*place);
        added.insert(added.end(), shown.files.rbegin(), shown.files.rend());
        added.insert(added.end(), shown.volumes.begin(), shown.volumes.end());
        if (shown.computer) added.push_back(*shown.computer);
        for (const std::size_t index : added) {
            if (places[index]) continue;
            places[index] = cells.FindPlace(boxes[index]);
            cells.Mark(*places[index], boxes[index]);
        }
    }
    const std::vector<std::size_t> order = SortOrder(shown, false);
    std::vector<std::optional<ShellPoint>> positions;
    for (const std::size_t index : order) positions.push_back(InWindow(screen, *places[index]));
    return Arranged(Icon, std::move(shown.items), order, positions);
}

IniFile ReadMetadata(const Flavour& flavour) {
    return ParseIniFile(ReadSettingsFile(UserConfigPath({flavour.metadataFile})).value_or(""));
}

}  // namespace

std::optional<IconArrangement> NemoDesktopIcons(const ScreenFacts& screen) {
    const GSettingsReader desktop("org.nemo.desktop");
    // "shown on the primary monitor::shown on the others"
    const std::string layout = desktop.String("desktop-layout").value_or("true::false");
    const bool shown = desktop.Boolean("show-desktop-icons").value_or(true) && layout.rfind("true", 0) == 0;
    const IniFile metadata = ReadMetadata(Nemo);
    std::optional<Shown> items = ReadShown(Nemo, metadata);
    if (!items) return std::nullopt;
    if (!shown) return IconArrangement{};
    return ArrangeNemo(screen, std::move(*items), metadata);
}

std::optional<IconArrangement> CajaDesktopIcons(const ScreenFacts& screen) {
    const GSettingsReader background("org.mate.background");
    std::optional<Shown> items = ReadShown(Caja, ReadMetadata(Caja));
    if (!items) return std::nullopt;
    if (!background.Boolean("show-desktop-icons").value_or(true)) return IconArrangement{};
    return ArrangeCaja(screen, std::move(*items));
}
