// The XDG desktop folder: which directory it is, which of its entries the desktop shows, and the
// name and icon each one shows (desktop entries are read as key files, never run).
#include "desktop/xdg/desktop_folder.h"

#include "desktop/xdg/reading_limits.h"
#include "desktop/xdg/settings_files.h"

#include <gio/gio.h>
#include <glib.h>
#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <cstring>

namespace {

using reading_limits::MaxDesktopEntryBytes;
using reading_limits::MaxDesktopItems;
using reading_limits::MaxFailedEntries;

bool EndsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

std::string ShownFileName(const std::string& fileName) {
    gchar* shown = g_filename_display_name(fileName.c_str());
    std::string result = shown ? shown : "";
    g_free(shown);
    return result;
}

// An Icon value given as a file name with an image extension still names a theme icon.
std::string StripImageExtension(const std::string& name) {
    for (const char* extension : {".png", ".svg", ".xpm", ".svgz"})
        if (EndsWith(name, extension)) return name.substr(0, name.size() - std::strlen(extension));
    return name;
}

void AddContentTypeIcons(const std::string& fileName, std::vector<std::string>& names) {
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(fileName.c_str(), nullptr, 0, &uncertain);
    if (type != nullptr) {
        GIcon* icon = g_content_type_get_icon(type);
        if (icon != nullptr && G_IS_THEMED_ICON(icon)) {
            const gchar* const* themed = g_themed_icon_get_names(G_THEMED_ICON(icon));
            for (; themed != nullptr && *themed != nullptr; ++themed) names.emplace_back(*themed);
        }
        if (icon != nullptr) g_object_unref(icon);
        g_free(type);
    }
    names.emplace_back("text-x-generic");
}

}  // namespace

std::string UserDirectory(std::string_view userDirsText, std::string_view name, const std::string& home) {
    // As GLib reads user-dirs.dirs: lines of XDG_<NAME>_DIR="$HOME/..." or "/...", the last one
    // counting; the value runs to the last quote of its line, without a trailing slash.
    const std::string key = "XDG_" + std::string(name) + "_DIR";
    std::string found;
    std::size_t start = 0;
    while (start < userDirsText.size()) {
        std::size_t end = userDirsText.find('\n', start);
        if (end == std::string_view::npos) end = userDirsText.size();
        std::string_view line = userDirsText.substr(start, end - start);
        start = end + 1;
        const auto skipBlanks = [&line] {
            while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        };
        skipBlanks();
        if (line.substr(0, key.size()) != key) continue;
        line.remove_prefix(key.size());
        skipBlanks();
        if (line.empty() || line.front() != '=') continue;
        line.remove_prefix(1);
        skipBlanks();
        if (line.empty() || line.front() != '"') continue;
        line.remove_prefix(1);
        const bool relative = line.substr(0, 5) == "$HOME";
        if (relative) line.remove_prefix(5);
        else if (line.empty() || line.front() != '/') continue;
        const std::size_t quote = line.rfind('"');
        if (quote == std::string_view::npos) continue;
        std::string value(line.substr(0, quote));
        if (value.find('\0') != std::string::npos) continue;
        if (!value.empty() && value.back() == '/') value.pop_back();
        if (relative) {
            gchar* joined = g_build_filename(home.c_str(), value.c_str(), nullptr);
            found = joined;
            g_free(joined);
        } else {
            found = value;
        }
    }
    return found;
}

std::string XdgUserDirectory(std::string_view name) {
    // Read here, bounded, not by GLib: it would read whatever the path gives, a FIFO or a /proc
    // file's endless stream included.
    const std::optional<std::string> text = ReadSettingsFile(UserConfigPath({"user-dirs.dirs"}));
    return text ? UserDirectory(*text, name, g_get_home_dir()) : std::string();
}

std::string XdgDesktopDirectory() {
    const std::string desktop = XdgUserDirectory("DESKTOP");
    if (!desktop.empty()) return desktop;
    gchar* fallback = g_build_filename(g_get_home_dir(), "Desktop", nullptr);
    std::string result = fallback;
    g_free(fallback);
    return result;
}

std::u16string DisplayNameToUtf16(const std::string& utf8) {
    gchar* valid = g_utf8_make_valid(utf8.data(), static_cast<gssize>(utf8.size()));
    glong written = 0;
    gunichar2* units = g_utf8_to_utf16(valid, -1, nullptr, &written, nullptr);
    g_free(valid);
    std::u16string result;
    if (units != nullptr) result.assign(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(written));
    g_free(units);
    if (result.size() > 259) result.resize(259);
    return result;
}

void ReadDesktopEntry(const std::string& path, XdgDesktopItem& item) {
    static const char* const Group = "Desktop Entry";
    item.displayName = ShownFileName(item.fileName);
    item.icon = {};

    GKeyFile* file = g_key_file_new();
    const std::optional<std::string> text = ReadSettingsFile(path, MaxDesktopEntryBytes);
    if (text && g_key_file_load_from_data(file, text->data(), text->size(), G_KEY_FILE_NONE, nullptr) &&
        g_key_file_has_group(file, Group)) {
        gchar* name = g_key_file_get_locale_string(file, Group, "Name", nullptr, nullptr);
        if (name != nullptr && name[0] != '\0') item.displayName = name;
        g_free(name);

        gchar* icon = g_key_file_get_locale_string(file, Group, "Icon", nullptr, nullptr);
        if (icon != nullptr && icon[0] != '\0' && g_utf8_validate(icon, -1, nullptr)) {
            if (g_path_is_absolute(icon)) item.icon.file = icon;
            else if (std::strchr(icon, '/') == nullptr) item.icon.names.push_back(StripImageExtension(icon));
        }
        g_free(icon);

        gchar* type = g_key_file_get_string(file, Group, "Type", nullptr);
        if (type != nullptr && std::strcmp(type, "Link") == 0) item.icon.names.emplace_back("text-html");
        if (type != nullptr && std::strcmp(type, "Directory") == 0) item.icon.names.emplace_back("folder");
        g_free(type);
    }
    g_key_file_free(file);
    item.icon.names.emplace_back("application-x-executable");
    item.icon.names.emplace_back("text-x-generic");
}

std::optional<std::vector<XdgDesktopItem>> ReadDesktopFolder(const std::string& directory, const char* positionKey) {
    std::vector<XdgDesktopItem> items;
    GFile* folder = g_file_new_for_path(directory.c_str());
    GError* error = nullptr;
    // Hidden as GIO says: a name that starts with a dot, or one of the lines of the folder's
    // .hidden list. The list is read here, bounded, rather than by GIO, which reads whatever the
    // path gives (a FIFO, a /proc file's endless stream).
    std::set<std::string, std::less<>> hiddenNames;
    if (const std::optional<std::string> list = ReadSettingsFile(directory + "/.hidden")) {
        std::size_t start = 0;
        while (start < list->size()) {
            const std::size_t end = std::min(list->find('\n', start), list->size());
            if (end > start) hiddenNames.emplace(*list, start, end - start);
            start = end + 1;
        }
    }
    std::string attributes = G_FILE_ATTRIBUTE_STANDARD_NAME "," G_FILE_ATTRIBUTE_STANDARD_TYPE
                             "," G_FILE_ATTRIBUTE_STANDARD_IS_BACKUP "," G_FILE_ATTRIBUTE_TIME_MODIFIED;
    if (positionKey != nullptr)
        attributes += std::string(",") + positionKey + ",metadata::monitor,metadata::trusted," G_FILE_ATTRIBUTE_ACCESS_CAN_EXECUTE;
    GFileEnumerator* children =
        g_file_enumerate_children(folder, attributes.c_str(), G_FILE_QUERY_INFO_NONE, nullptr, &error);
    g_object_unref(folder);
    if (children == nullptr) {
        // No desktop folder at all is an empty desktop; one that is there but unreadable is not.
        const bool missing = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND);
        g_error_free(error);
        if (missing) return items;
        return std::nullopt;
    }

    int failures = 0;
    std::size_t listed = 0;
    while (items.size() < MaxDesktopItems && DesktopReadingSecondsLeft() > 0) {
        GError* nextError = nullptr;
        GFileInfo* info = g_file_enumerator_next_file(children, nullptr, &nextError);
        if (info == nullptr) {
            // An entry whose details cannot be read is passed over; the enumerator has already
            // moved beyond it. The end of the listing comes without an error.
            if (nextError == nullptr || ++failures > MaxFailedEntries) {
                if (nextError != nullptr) g_error_free(nextError);
                break;
            }
            g_error_free(nextError);
            continue;
        }
        const std::size_t place = listed++;
        const char* rawName = g_file_info_get_name(info);
        const bool hidden = rawName != nullptr && (rawName[0] == '.' || hiddenNames.count(std::string_view(rawName)) > 0);
        if (rawName == nullptr || hidden || g_file_info_get_is_backup(info)) {
            g_object_unref(info);
            continue;
        }
        XdgDesktopItem item;
        item.listed = place;
        item.fileName = rawName;
        item.isDirectory = g_file_info_get_file_type(info) == G_FILE_TYPE_DIRECTORY;
        item.modified = static_cast<std::int64_t>(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED));
        gchar* path = g_build_filename(directory.c_str(), rawName, nullptr);
        item.path = path;
        if (item.isDirectory) {
            item.displayName = ShownFileName(item.fileName);
            item.icon.names = {"folder"};
        } else if (EndsWith(item.fileName, ".desktop")) {
            ReadDesktopEntry(path, item);
        } else {
            item.displayName = ShownFileName(item.fileName);
            AddContentTypeIcons(item.fileName, item.icon.names);
        }
        g_free(path);

        const char* recorded = positionKey ? g_file_info_get_attribute_string(info, positionKey) : nullptr;
        int x = 0, y = 0;
        if (recorded != nullptr && std::sscanf(recorded, "%d,%d", &x, &y) == 2) item.recordedPosition = ShellPoint{x, y};
        const char* monitor = positionKey ? g_file_info_get_attribute_string(info, "metadata::monitor") : nullptr;
        if (monitor != nullptr) item.recordedMonitor = static_cast<int>(g_ascii_strtoll(monitor, nullptr, 10));
        const char* trusted = positionKey ? g_file_info_get_attribute_string(info, "metadata::trusted") : nullptr;
        item.trusted = trusted != nullptr && std::strcmp(trusted, "true") == 0;
        item.executable = g_file_info_get_attribute_boolean(info, G_FILE_ATTRIBUTE_ACCESS_CAN_EXECUTE);
        items.push_back(std::move(item));
        g_object_unref(info);
    }
    g_object_unref(children);
    return items;
}
