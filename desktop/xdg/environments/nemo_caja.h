// What nemo (Cinnamon) and caja (MATE) share, both descended from one file manager: file
// positions in the files' metadata ("x,y", the icon's top-left in the desktop's canvas, whose
// origin is the work area's corner), the desktop's own icons (Home, Computer, Trash, volumes) per
// their settings with positions in a key file of their own, and their sort order. Each places
// the rest by its own rules (cinnamon.cpp, mate.cpp).
#pragma once

#include "desktop/xdg/icon_layout.h"
#include "desktop/xdg/settings_files.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nemo_caja {

inline constexpr std::int32_t Icon = 48;  // both at their standard zoom

// What differs between the two.
struct Flavour {
    const char* desktopSchema;      // the *-icon-visible keys
    const char* positionKey;        // per-file metadata
    const char* metadataFile;       // the desktop's own icons' positions, under ~/.config
    const char* positionName;       // their key in that file
    bool computerDefault, homeDefault, trashDefault, volumesDefault;
    const char* homeLabel;          // "%s" is the user's name
};

// The shown items, with what each desktop sorts by: its own icons by kind, the files by name.
struct Shown {
    std::vector<XdgDesktopItem> items;
    std::optional<std::size_t> computer, home, trash;
    std::vector<std::size_t> volumes;
    std::vector<std::size_t> files;  // by display name
};

// The desktop's own icons' positions (~/.config/<flavour.metadataFile>).
IniFile ReadMetadata(const Flavour& flavour);
// The items the desktop shows: its own icons per its settings, the volumes, the folder's files.
std::optional<Shown> ReadShown(const Flavour& flavour, const IniFile& metadata);
// Computer, Home, the volumes, then the Trash before the files (nemo) or after them (caja).
std::vector<std::size_t> SortOrder(const Shown& shown, bool trashFirst);
// The icon's window position from a canvas position.
ShellPoint InWindow(const ScreenFacts& screen, ShellPoint canvas);
// Pango units to whole pixels, rounded.
std::int32_t Pixels(int pangoUnits);

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

}  // namespace nemo_caja
