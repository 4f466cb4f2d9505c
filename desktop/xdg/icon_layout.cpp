// Where the desktop shows each item: the positions a desktop environment recorded, otherwise the
// arrangement of a fresh desktop, columns of cells filled from the top-left corner.
#include "desktop/xdg/xdg_desktop.h"

#include "desktop/xdg/settings_files.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <set>

std::int32_t GridRows(const GridLayout& grid) {
    return std::max<std::int32_t>(1, (grid.areaHeight - 2 * GridMargin) / GridCellHeight);
}

ShellPoint GridCellPosition(const GridLayout& grid, std::int32_t column, std::int32_t row) {
    // The icon sits centred at the top of its cell, its label below it.
    const std::int64_t x = std::int64_t{grid.origin.x} + GridMargin + std::int64_t{column} * GridCellWidth +
                           (GridCellWidth - GridIconSize) / 2;
    const std::int64_t y = std::int64_t{grid.origin.y} + GridMargin + std::int64_t{row} * GridCellHeight + 8;
    auto clamp = [](std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
    return ShellPoint{clamp(x), clamp(y)};
}

std::map<std::string, std::pair<std::int32_t, std::int32_t>> ParseXfdesktopLayout(const std::string& text) {
    std::map<std::string, std::pair<std::int32_t, std::int32_t>> cells;
    GKeyFile* file = g_key_file_new();
    if (g_key_file_load_from_data(file, text.data(), text.size(), G_KEY_FILE_NONE, nullptr)) {
        gsize count = 0;
        gchar** groups = g_key_file_get_groups(file, &count);
        for (gsize i = 0; i < count; ++i) {
            GError* rowError = nullptr;
            GError* columnError = nullptr;
            const gint row = g_key_file_get_integer(file, groups[i], "row", &rowError);
            const gint column = g_key_file_get_integer(file, groups[i], "col", &columnError);
            if (rowError == nullptr && columnError == nullptr && row >= 0 && column >= 0 && row < 100000 &&
                column < 100000)
                cells.emplace(groups[i], std::make_pair(column, row));
            if (rowError) g_error_free(rowError);
            if (columnError) g_error_free(columnError);
        }
        g_strfreev(groups);
    }
    g_key_file_free(file);
    return cells;
}

std::map<std::string, std::pair<std::int32_t, std::int32_t>> ReadXfdesktopLayout(std::int32_t screenWidth,
                                                                                std::int32_t screenHeight) {
    gchar* folder = g_build_filename(g_get_user_config_dir(), "xfce4", "desktop", nullptr);
    std::string chosen;
    // The file for this screen size, else the most recently written layout of screen 0.
    gchar* exact = g_strdup_printf("icons.screen0-%dx%d.rc", screenWidth, screenHeight);
    GDir* dir = g_dir_open(folder, 0, nullptr);
    gint64 newest = -1;
    if (dir != nullptr) {
        while (const gchar* name = g_dir_read_name(dir)) {
            if (!g_str_has_prefix(name, "icons.screen0") || !g_str_has_suffix(name, ".rc")) continue;
            gchar* path = g_build_filename(folder, name, nullptr);
            if (std::string(name) == exact) {
                chosen = path;
                newest = G_MAXINT64;
            } else {
                GStatBuf status;
                if (g_stat(path, &status) == 0 && status.st_mtime > newest) {
                    newest = status.st_mtime;
                    chosen = path;
                }
            }
            g_free(path);
        }
        g_dir_close(dir);
    }
    g_free(exact);
    g_free(folder);
    const std::optional<std::string> text = ReadSettingsFile(chosen);
    return text ? ParseXfdesktopLayout(*text) : std::map<std::string, std::pair<std::int32_t, std::int32_t>>{};
}

std::vector<XdgViewItem> ArrangeDesktop(const std::vector<XdgDesktopItem>& items, const GridLayout& grid,
                                        const std::map<std::string, std::pair<std::int32_t, std::int32_t>>& cells) {
    // A file manager's default order: folders first, then by name as people read file names.
    struct Key {
        bool directory;
        std::string collation;
        const std::string* fileName;
        std::size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        gchar* collation = g_utf8_collate_key_for_filename(items[i].displayName.c_str(), -1);
        keys.push_back(Key{items[i].isDirectory, collation ? collation : "", &items[i].fileName, i});
        g_free(collation);
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.directory != b.directory) return a.directory;
        if (a.collation != b.collation) return a.collation < b.collation;
        return *a.fileName < *b.fileName;
    });

    std::vector<XdgViewItem> view(keys.size());
    std::vector<bool> placed(keys.size(), false);
    std::set<std::pair<std::int32_t, std::int32_t>> taken;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const XdgDesktopItem& item = items[keys[k].index];
        view[k].item = keys[k].index;
        if (item.recordedPosition) {
            view[k].position = *item.recordedPosition;
            placed[k] = true;
        } else if (auto cell = cells.find(item.displayName); cell != cells.end() && !taken.count(cell->second)) {
            taken.insert(cell->second);
            view[k].position = GridCellPosition(grid, cell->second.first, cell->second.second);
            placed[k] = true;
        }
    }
    const std::int32_t rows = GridRows(grid);
    std::int64_t next = 0;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (placed[k]) continue;
        std::pair<std::int32_t, std::int32_t> cell;
        do {
            cell = {static_cast<std::int32_t>(next / rows), static_cast<std::int32_t>(next % rows)};
            ++next;
        } while (taken.count(cell));
        view[k].position = GridCellPosition(grid, cell.first, cell.second);
    }
    return view;
}
