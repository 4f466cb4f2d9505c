// The XDG desktop folder: which directory it is, which of its entries the desktop shows, and the
// name and icon each one shows (desktop entries are read as key files, never run).
#include "desktop/xdg/xdg_desktop.h"

#include "desktop/xdg/settings_files.h"

#include <gio/gio.h>
#include <glib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

namespace {

// Desktop entries larger than this are not desktop entries anyone wrote by hand.
constexpr std::size_t MaxDesktopEntryBytes = 1 << 20;
// A listing that keeps failing is given up rather than walked forever.
constexpr int MaxFailedEntries = 100000;
// Some twenty times what a desktop has room for: the rest of a larger folder is not listed (they
// would all be stacked in the last place anyway).
constexpr std::size_t MaxDesktopItems = 4096;

std::chrono::steady_clock::time_point readingDeadline = std::chrono::steady_clock::time_point::max();

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

void SetDesktopReadingDeadline(std::chrono::steady_clock::time_point deadline) { readingDeadline = deadline; }

double DesktopReadingSecondsLeft() {
    if (readingDeadline == std::chrono::steady_clock::time_point::max()) return 1e9;
    return std::chrono::duration<double>(readingDeadline - std::chrono::steady_clock::now()).count();
}

bool UserDirsFileIsSafe() {
    // GLib reads user-dirs.dirs itself, whole: only let it when that is a small regular file (or
    // missing). A FIFO or device there would block or stream forever.
    const std::string path = UserConfigPath({"user-dirs.dirs"});
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return true;
    return S_ISREG(status.st_mode) && status.st_size <= static_cast<off_t>(SettingsFileLimit);
}

std::string XdgDesktopDirectory() {
    if (UserDirsFileIsSafe()) {
        // GLib keeps the answer per process; read it afresh in case user-dirs.dirs changed.
        g_reload_user_special_dirs_cache();
        const gchar* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
        if (desktop != nullptr && desktop[0] != '\0') return desktop;
    }
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
    // GIO answers "is hidden" by reading the folder's .hidden list itself: only ask it when that
    // list is a small regular file (or missing); otherwise dot-files alone count as hidden.
    struct stat hiddenList {};
    const std::string hiddenPath = directory + "/.hidden";
    const bool askHidden = ::stat(hiddenPath.c_str(), &hiddenList) != 0 ||
                           (S_ISREG(hiddenList.st_mode) && hiddenList.st_size <= static_cast<off_t>(SettingsFileLimit));
    std::string attributes = G_FILE_ATTRIBUTE_STANDARD_NAME "," G_FILE_ATTRIBUTE_STANDARD_TYPE
                             "," G_FILE_ATTRIBUTE_STANDARD_IS_BACKUP "," G_FILE_ATTRIBUTE_TIME_MODIFIED;
    if (askHidden) attributes += "," G_FILE_ATTRIBUTE_STANDARD_IS_HIDDEN;
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
        const bool hidden = askHidden ? g_file_info_get_is_hidden(info) : rawName != nullptr && rawName[0] == '.';
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
