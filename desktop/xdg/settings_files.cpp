// Bounded reads of settings files and the parsing shared by every environment's reader.
#include "desktop/xdg/settings_files.h"

#include "core/file_bytes.h"

#include <gdk/gdk.h>
#include <glib.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>

// ---- Reading --------------------------------------------------------------------------------

std::optional<std::string> ReadSettingsFile(const std::string& path, std::size_t limit) {
    return ReadRegularFile(path, limit);
}

std::string UserConfigPath(std::initializer_list<std::string_view> parts) {
    std::string path = g_get_user_config_dir();
    for (const std::string_view part : parts) {
        path += '/';
        path += part;
    }
    return path;
}

std::optional<std::string> ReadConfigFile(std::initializer_list<std::string_view> parts) {
    if (auto text = ReadSettingsFile(UserConfigPath(parts))) return text;
    for (const gchar* const* folder = g_get_system_config_dirs(); *folder != nullptr; ++folder) {
        std::string path = *folder;
        for (const std::string_view part : parts) (path += '/') += part;
        if (auto text = ReadSettingsFile(path)) return text;
    }
    return std::nullopt;
}

// ---- INI files ------------------------------------------------------------------------------

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

}  // namespace

const std::string* IniFile::Group::Find(std::string_view key) const {
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        if (entry->first == key) return &entry->second;
    return nullptr;
}

const std::string* IniFile::Find(std::string_view group, std::string_view key) const {
    for (auto entry = groups.rbegin(); entry != groups.rend(); ++entry)
        if (entry->name == group)
            if (const std::string* value = entry->Find(key)) return value;
    return nullptr;
}

IniFile ParseIniFile(std::string_view text) {
    IniFile file;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos || close == 0) continue;
            file.groups.push_back({std::string(line.substr(1, close - 1)), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || file.groups.empty()) continue;
        std::string_view key = Trim(line.substr(0, equals));
        // KConfig marks keys with flags ("lastScreen[$i]"); the key is what comes before them.
        if (const std::size_t flags = key.find("[$"); flags != std::string_view::npos) key = key.substr(0, flags);
        file.groups.back().entries.emplace_back(std::string(key), std::string(Trim(line.substr(equals + 1))));
    }
    return file;
}

std::optional<std::string> IniValue(const std::optional<std::string>& text, std::string_view group, std::string_view key) {
    if (!text) return std::nullopt;
    const IniFile file = ParseIniFile(*text);
    const std::string* value = file.Find(group, key);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

std::string QtSettingText(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const char escaped = value[++i];
        if (escaped == 'n') text += '\n';
        else if (escaped == 't') text += '\t';
        else if (escaped == 'x') {
            unsigned code = 0;
            std::size_t digits = 0;
            while (digits < 4 && i + 1 < value.size() && std::isxdigit(static_cast<unsigned char>(value[i + 1]))) {
                code = code * 16 + static_cast<unsigned>(g_ascii_xdigit_value(value[++i]));
                ++digits;
            }
            char utf8[8] = {};
            const gint length = g_unichar_to_utf8(static_cast<gunichar>(code), utf8);
            text.append(utf8, static_cast<std::size_t>(length));
        } else {
            text += escaped;
        }
    }
    return text;
}

// ---- Values ---------------------------------------------------------------------------------

std::string LocalPathFromUriOrPath(const std::string& value) {
    if (value.empty() || value.find('\0') != std::string::npos) return {};
    if (value.front() == '/') return value;
    if (value.rfind("~/", 0) == 0) return std::string(g_get_home_dir()) + value.substr(1);
    // Only local files: any other scheme (http, smb, ...) names nothing the mirror may read.
    if (value.rfind("file:", 0) != 0) return {};
    gchar* host = nullptr;
    gchar* path = g_filename_from_uri(value.c_str(), &host, nullptr);
    std::string result;
    if (path != nullptr && (host == nullptr || std::string_view(host) == "localhost")) result = path;
    g_free(host);
    g_free(path);
    return result;
}

std::string UsablePicture(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    return ::access(path.c_str(), R_OK) == 0 ? path : std::string();
}

namespace {

// Hex digits as a fraction of their full range ("ff" and "ffff" are both 1.0).
std::optional<float> HexComponent(std::string_view digits) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const unsigned full = (1u << (4 * digits.size())) - 1;
    return static_cast<float>(value) / static_cast<float>(full);
}

}  // namespace

std::optional<Color> ParseColorText(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '#') {
        const std::string_view digits = text.substr(1);
        if (digits.size() != 3 && digits.size() != 6 && digits.size() != 9 && digits.size() != 12) return std::nullopt;
        const std::size_t width = digits.size() / 3;
        const auto r = HexComponent(digits.substr(0, width));
        const auto g = HexComponent(digits.substr(width, width));
        const auto b = HexComponent(digits.substr(2 * width, width));
        if (!r || !g || !b) return std::nullopt;
        return Color{*r, *g, *b};
    }
    // A colour name ("black", "DarkSlateGray"), as GDK knows them.
    if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); })) {
        GdkRGBA rgba;
        if (text.size() > 64 || !gdk_rgba_parse(&rgba, std::string(text).c_str())) return std::nullopt;
        return Color{static_cast<float>(rgba.red), static_cast<float>(rgba.green), static_cast<float>(rgba.blue)};
    }
    // "rgb(r,g,b)", "rgba(r,g,b,a)" or KDE's bare "r,g,b": components 0..255.
    std::string_view list = text;
    if (list.rfind("rgba(", 0) == 0 || list.rfind("rgb(", 0) == 0) {
        if (list.back() != ')') return std::nullopt;
        list = list.substr(list.find('(') + 1);
        list.remove_suffix(1);
    }
    float components[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = list.find(',');
        if (i < 2 && comma == std::string_view::npos) return std::nullopt;
        const std::string_view part = Trim(list.substr(0, comma));
        int value = -1;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (error != std::errc() || end != part.data() + part.size() || value < 0 || value > 255) return std::nullopt;
        components[i] = static_cast<float>(value) / 255.0f;
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    // Anything after the third component may only be an alpha (rgba or KDE's r,g,b,a).
    if (!Trim(list).empty() && text.rfind("rgb(", 0) == 0) return std::nullopt;
    return Color{components[0], components[1], components[2]};
}
