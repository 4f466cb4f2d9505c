// MATE.
// Icons: caja's desktop (org.mate.caja.desktop): Computer, Home and volumes before the files and
// Trash after them, sorted by name; positions from the files' metadata (gvfs, relative to the
// work area and pushed 10 px inside it) and caja's own key file; the rest in columns that follow
// each label's Pango size, into the 78 x 20 px cells the recorded ones leave free.
// Wallpaper: org.mate.background, a picture path rather than a URI, and a vertical gradient by
// default.
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/nemo_caja.h"
#include "desktop/xdg/gsettings_reader.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

using namespace nemo_caja;

namespace {

constexpr Flavour Caja{"org.mate.caja.desktop", "metadata::caja-icon-position", "caja/desktop-metadata",
                       "caja-icon-position", true, true, true, true, "%s's Home"};


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

}  // namespace

std::optional<IconArrangement> MateDesktopIcons(const DesktopSession& session) {
    const GSettingsReader background("org.mate.background");
    std::optional<Shown> items = ReadShown(Caja, ReadMetadata(Caja));
    if (!items) return std::nullopt;
    if (!background.Boolean("show-desktop-icons").value_or(true)) return IconArrangement{};
    return ArrangeCaja(session.screen, std::move(*items));
}

std::optional<WallpaperSetting> MateWallpaper(const DesktopSession&) {
    const GSettingsReader background("org.mate.background");
    if (!background.Installed()) return std::nullopt;
    WallpaperSetting setting;
    // A path, not a URI; "none" or empty is no picture. (MATE has no "none" placement.)
    const std::string picture = background.String("picture-filename").value_or("");
    if (picture != "none") setting.path = LocalPathFromUriOrPath(picture);
    ReadBackgroundColors(background, "vertical-gradient", "horizontal-gradient", setting);
    return setting;
}
