// The icon theme lookup, following GTK 3.24's rules (gtk/gtkicontheme.c: insert_theme,
// theme_subdir_load, theme_lookup_icon, compare_dir_matches, real_choose_icon) so that the mirror
// shows the file the GTK desktops show, without GTK's cache files or its own file reads.
#include "desktop/xdg/icon_lookup.h"

#include "core/file_bytes.h"

#include <dirent.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace {

// Far beyond any real theme, and the end of what a hostile one can make us do.
constexpr std::size_t MaxIndexBytes = 1 << 20;
constexpr std::size_t MaxDirectoriesPerTheme = 4096;
constexpr std::size_t MaxParents = 64;
constexpr std::size_t MaxThemes = 32;
constexpr int MaxInheritDepth = 16;
constexpr int MaxThemesTried = 256;
constexpr std::size_t MaxFilesPerDirectory = 20000;

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A theme directory name that stays inside its theme folder.
bool StaysInside(const std::string& name) {
    if (name.empty() || name.front() == '/') return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

// A theme name names one folder.
bool IsThemeName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

std::vector<std::string> StringList(GKeyFile* file, const char* group, const char* key, bool& present) {
    std::vector<std::string> list;
    gchar** values = g_key_file_get_string_list(file, group, key, nullptr, nullptr);
    present = values != nullptr;
    for (gchar** value = values; value != nullptr && *value != nullptr; ++value) list.emplace_back(*value);
    g_strfreev(values);
    return list;
}

int IntegerOr(GKeyFile* file, const char* group, const char* key, int fallback) {
    // As GTK: a key that is there but not a number counts as 0.
    return g_key_file_has_key(file, group, key, nullptr) ? g_key_file_get_integer(file, group, key, nullptr) : fallback;
}

// The index GTK falls back on for hicolor when no hicolor theme is installed.
constexpr const char* BuiltinHicolorIndex =
    "[Icon Theme]\nName=Hicolor\nHidden=True\n"
    "Directories=16x16/actions,16x16/status,22x22/actions,24x24/actions,24x24/status,32x32/actions,32x32/status,"
    "48x48/status,64x64/actions\n"
    "[16x16/actions]\nSize=16\nType=Threshold\n[16x16/status]\nSize=16\nType=Threshold\n"
    "[22x22/actions]\nSize=22\nType=Threshold\n[24x24/actions]\nSize=24\nType=Threshold\n"
    "[24x24/status]\nSize=24\nType=Threshold\n[32x32/actions]\nSize=32\nType=Threshold\n"
    "[32x32/status]\nSize=32\nType=Threshold\n[48x48/status]\nSize=48\nType=Threshold\n"
    "[64x64/actions]\nSize=64\nType=Threshold\n";

bool IsSymbolicName(const std::string& name) {
    for (const char* suffix : {"-symbolic", "-symbolic-ltr", "-symbolic-rtl"}) {
        const std::size_t length = std::strlen(suffix);
        if (name.size() >= length && name.compare(name.size() - length, length, suffix) == 0) return true;
    }
    return false;
}

// Whether the system's image loaders read SVG, as GTK asks before it considers SVG icons.
bool LoadersReadSvg() {
    bool svg = false;
    GSList* formats = gdk_pixbuf_get_formats();
    for (GSList* entry = formats; entry != nullptr && !svg; entry = entry->next) {
        gchar** types = gdk_pixbuf_format_get_mime_types(static_cast<GdkPixbufFormat*>(entry->data));
        for (gchar** type = types; type != nullptr && *type != nullptr; ++type)
            if (std::strcmp(*type, "image/svg") == 0) svg = true;
        g_strfreev(types);
    }
    g_slist_free(formats);
    return svg;
}

// The icon files of one folder, or of one search path entry's loose icons.
template <class Visit>
void ForEachFile(const std::string& folder, Visit visit) {
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) return;
    std::size_t count = 0;
    while (const dirent* entry = ::readdir(directory)) {
        if (++count > MaxFilesPerDirectory) break;
        visit(std::string_view(entry->d_name));
    }
    ::closedir(directory);
}

// The suffix of an icon file name, and the icon name before it.
unsigned SuffixOf(std::string_view fileName, std::string_view& iconName) {
    const auto ends = [&](std::string_view suffix) {
        return fileName.size() >= suffix.size() && fileName.substr(fileName.size() - suffix.size()) == suffix;
    };
    unsigned suffix = 0;
    if (ends(".symbolic.png")) suffix = IconSymbolicPng;
    else if (ends(".png")) suffix = IconPng;
    else if (ends(".svg")) suffix = IconSvg;
    else if (ends(".xpm")) suffix = IconXpm;
    if (suffix == 0) return 0;
    const std::size_t cut = suffix == IconSymbolicPng ? fileName.size() - 13 : fileName.rfind('.');
    iconName = fileName.substr(0, cut);
    return suffix;
}

}  // namespace

// ---- index.theme ----------------------------------------------------------------------------

std::optional<IconThemeIndex> ParseIconThemeIndex(std::string_view text) {
    GKeyFile* file = g_key_file_new();
    g_key_file_set_list_separator(file, ',');
    std::optional<IconThemeIndex> index;
    if (g_key_file_load_from_data(file, text.data(), text.size(), G_KEY_FILE_NONE, nullptr)) {
        index.emplace();
        bool listed = false, scaledListed = false, inherits = false;
        std::vector<std::string> names = StringList(file, "Icon Theme", "Directories", listed);
        index->listsDirectories = listed;
        for (std::string& scaled : StringList(file, "Icon Theme", "ScaledDirectories", scaledListed))
            names.push_back(std::move(scaled));
        for (const std::string& name : names) {
            if (index->directories.size() >= MaxDirectoriesPerTheme) break;
            if (!StaysInside(name)) continue;
            GError* error = nullptr;
            const int size = g_key_file_get_integer(file, name.c_str(), "Size", &error);
            if (error != nullptr) {
                g_error_free(error);
                continue;
            }
            IconDirectoryKeys keys;
            keys.name = name;
            keys.size = size;
            if (gchar* type = g_key_file_get_string(file, name.c_str(), "Type", nullptr)) {
                if (std::strcmp(type, "Fixed") == 0) keys.type = IconDirectoryType::Fixed;
                else if (std::strcmp(type, "Scalable") == 0) keys.type = IconDirectoryType::Scalable;
                g_free(type);
            }
            keys.maxSize = IntegerOr(file, name.c_str(), "MaxSize", size);
            keys.minSize = IntegerOr(file, name.c_str(), "MinSize", size);
            keys.threshold = IntegerOr(file, name.c_str(), "Threshold", 2);
            keys.scale = IntegerOr(file, name.c_str(), "Scale", 1);
            index->directories.push_back(std::move(keys));
        }
        index->inherits = StringList(file, "Icon Theme", "Inherits", inherits);
        if (index->inherits.size() > MaxParents) index->inherits.resize(MaxParents);
    }
    g_key_file_free(file);
    return index;
}

// ---- Choosing a directory -------------------------------------------------------------------

void AddIconFile(IconListing& listing, std::string_view fileName) {
    std::string_view name;
    if (const unsigned suffix = SuffixOf(fileName, name)) listing[std::string(name)] |= suffix;
}

std::optional<std::string_view> BestIconSuffix(unsigned suffixes, bool allowSvg) {
    if (suffixes & IconSymbolicPng) return ".symbolic.png";
    if (suffixes & IconPng) return ".png";
    if (allowSvg && (suffixes & IconSvg)) return ".svg";
    if (suffixes & IconXpm) return ".xpm";
    return std::nullopt;
}

int IconSizeDifference(const IconDirectoryKeys& directory, int size) {
    // In 64 bits: a hostile index's sizes near INT_MAX must not overflow.
    const long long scale = directory.scale;
    long long difference = 0;
    switch (directory.type) {
        case IconDirectoryType::Fixed: difference = std::llabs(size - directory.size * scale); break;
        case IconDirectoryType::Scalable:
            if (size < directory.minSize * scale) difference = directory.minSize * scale - size;
            else if (size > directory.maxSize * scale) difference = size - directory.maxSize * scale;
            break;
        case IconDirectoryType::Threshold: {
            const long long low = (static_cast<long long>(directory.size) - directory.threshold) * scale;
            const long long high = (static_cast<long long>(directory.size) + directory.threshold) * scale;
            if (size < low) difference = low - size;
            else if (size > high) difference = size - high;
            break;
        }
    }
    return static_cast<int>(std::min<long long>(difference, INT32_MAX));
}

bool IsBetterIconDirectory(const IconDirectoryKeys& candidate, int candidateDifference, const IconDirectoryKeys& best,
                           int bestDifference, int size) {
    if (candidateDifference == 0) {
        if (bestDifference != 0) return true;
    } else {
        // As GTK: even an exact best is given up for a larger candidate when it is smaller itself.
        if (candidate.size >= size && best.size < size) return true;
        if (candidate.size < size && best.size >= size) return false;
        if (candidateDifference != bestDifference) return candidateDifference < bestDifference;
    }
    if ((candidate.scale == 1) != (best.scale == 1)) return candidate.scale == 1;
    const bool candidateScalable = candidate.type == IconDirectoryType::Scalable;
    const bool bestScalable = best.type == IconDirectoryType::Scalable;
    if (candidateScalable != bestScalable) return !candidateScalable;
    return std::llabs(size - static_cast<long long>(candidate.size) * candidate.scale) <=
           std::llabs(size - static_cast<long long>(best.size) * best.scale);
}

// ---- The lookup -------------------------------------------------------------------------------

std::vector<std::string> IconSearchPath() {
    std::vector<std::string> path = {std::string(g_get_user_data_dir()) + "/icons",
                                     std::string(g_get_home_dir()) + "/.icons"};
    for (const gchar* const* folder = g_get_system_data_dirs(); *folder != nullptr; ++folder)
        path.push_back(std::string(*folder) + "/icons");
    for (const gchar* const* folder = g_get_system_data_dirs(); *folder != nullptr; ++folder)
        path.push_back(std::string(*folder) + "/pixmaps");
    return path;
}

IconThemeLookup::IconThemeLookup(const std::string& themeName, std::vector<std::string> searchPath)
    : searchPath(std::move(searchPath)), allowSvg(LoadersReadSvg()) {
    for (const char* name : {themeName.c_str(), "Adwaita", "gnome", "hicolor"}) InsertTheme(name, 0);
    GatherLooseIcons();
}

void IconThemeLookup::InsertTheme(const std::string& name, int depth) {
    if (!IsThemeName(name) || depth > MaxInheritDepth || themes.size() >= MaxThemes ||
        probes.size() >= MaxThemesTried * searchPath.size())
        return;
    for (const Theme& theme : themes)
        if (theme.name == name) return;
    // Every folder this name has, tried from now on for this theme and the ones after it.
    for (const std::string& folder : searchPath) {
        const std::string path = folder + "/" + name;
        probes.insert(probes.begin(), Probe{path, IsDirectory(path)});
    }
    std::optional<IconThemeIndex> index;
    for (const std::string& folder : searchPath) {
        if (const auto text = ReadRegularFile(folder + "/" + name + "/index.theme", MaxIndexBytes))
            if ((index = ParseIconThemeIndex(*text))) break;
    }
    if (!index && name == "hicolor") index = ParseIconThemeIndex(BuiltinHicolorIndex);
    if (!index || !index->listsDirectories) return;

    themes.push_back(Theme{name, {}});
    const std::size_t at = themes.size() - 1;
    for (const IconDirectoryKeys& keys : index->directories) {
        for (const Probe& probe : probes) {
            if (!probe.exists) continue;
            const std::string path = probe.folder + "/" + keys.name;
            if (!IsDirectory(path)) continue;
            IconListing icons;
            ForEachFile(path, [&](std::string_view file) { AddIconFile(icons, file); });
            if (!icons.empty()) themes[at].directories.push_back(Directory{keys, path, std::move(icons)});
        }
    }
    for (const std::string& parent : index->inherits) InsertTheme(parent, depth + 1);
}

void IconThemeLookup::GatherLooseIcons() {
    for (const std::string& folder : searchPath) {
        ForEachFile(folder, [&](std::string_view file) {
            std::string_view name;
            const unsigned suffix = SuffixOf(file, name);
            if (suffix == 0) return;
            LooseIcon& icon = looseIcons[std::string(name)];
            const std::string path = folder + "/" + std::string(file);
            if (suffix == IconSvg) {
                if (icon.svg.empty()) icon.svg = path;
            } else if (suffix > icon.otherSuffix) {
                icon.other = path;
                icon.otherSuffix = suffix;
            }
        });
    }
}

std::string IconThemeLookup::LookUp(const Theme& theme, const std::string& name, int size) const {
    const Directory* best = nullptr;
    int bestDifference = 0;
    for (const Directory& directory : theme.directories) {
        const auto found = directory.icons.find(name);
        if (found == directory.icons.end() || !BestIconSuffix(found->second, allowSvg)) continue;
        const int difference = IconSizeDifference(directory.keys, size);
        if (best == nullptr || IsBetterIconDirectory(directory.keys, difference, best->keys, bestDifference, size)) {
            best = &directory;
            bestDifference = difference;
        }
    }
    if (best == nullptr) return {};
    return best->path + "/" + name + std::string(*BestIconSuffix(best->icons.at(name), allowSvg));
}

std::string IconThemeLookup::Choose(const std::vector<std::string>& names, int size) const {
    // Symbolic names at the head of the list first, through every theme; then every name in each
    // theme in turn, so a theme's own icon of a later name beats its parents' icon of an earlier one.
    for (const Theme& theme : themes)
        for (const std::string& name : names) {
            if (!IsSymbolicName(name)) break;
            if (std::string file = LookUp(theme, name, size); !file.empty()) return file;
        }
    for (const Theme& theme : themes)
        for (const std::string& name : names)
            if (std::string file = LookUp(theme, name, size); !file.empty()) return file;
    // Then loose icons in the search path: the first name that has one decides.
    for (const std::string& name : names) {
        const auto found = looseIcons.find(name);
        if (found == looseIcons.end()) continue;
        const LooseIcon& icon = found->second;
        if (allowSvg && !icon.svg.empty() && (icon.other.empty() || icon.otherSuffix == IconXpm)) return icon.svg;
        return icon.other;
    }
    return {};
}
