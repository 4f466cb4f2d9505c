// The small text files desktop environments keep their settings in, read one way: a single
// bounded read of a regular file (a FIFO, device or /proc file never blocks or streams forever),
// then parsing from memory. Also the value forms those files share: colours, file URIs, paths.
#pragma once

#include "core/geometry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Settings files are a few kilobytes; a larger one is not a settings file.
inline constexpr std::size_t SettingsFileLimit = 1u << 20;

// The file's bytes, or none when it is missing, not a regular file (checked on the open file),
// unreadable or longer than limit bytes.
std::optional<std::string> ReadSettingsFile(const std::string& path, std::size_t limit = SettingsFileLimit);

// The user's configuration folder ($XDG_CONFIG_HOME, else ~/.config) joined with the parts.
std::string UserConfigPath(std::initializer_list<std::string_view> parts);

// A configuration file as the desktop programs find it: the user's copy, else the first system
// copy in $XDG_CONFIG_DIRS.
std::optional<std::string> ReadConfigFile(std::initializer_list<std::string_view> parts);

// An INI-style file as its groups in order: "[name]" lines open a group (the name is what lies
// between the first '[' and the last ']', so KDE's "[a][b]" names stay whole), "key=value" lines
// fill it; comments (# or ;) and other lines are skipped. Keys keep their case; KConfig's flags
// ("key[$i]") are dropped.
struct IniFile {
    struct Group {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        const std::string* Find(std::string_view key) const;  // the last entry of that key
    };
    std::vector<Group> groups;

    // The value of key in the last group of that name that has it (a group repeated later
    // overrides earlier ones key by key); none when absent.
    const std::string* Find(std::string_view group, std::string_view key) const;
};
IniFile ParseIniFile(std::string_view text);

// One value of an INI-style text (a copy); none when the text is none or lacks the key.
std::optional<std::string> IniValue(const std::optional<std::string>& text, std::string_view group, std::string_view key);

// A Qt settings value as text: surrounding quotes removed, \\ \" \n \t and \xHH decoded.
std::string QtSettingText(std::string_view value);

// A local file from a setting: a file:// URI (percent-decoded, no host or localhost) or an
// absolute path; "~/" means the home folder. Empty for any other scheme, a relative path, or a
// URI that does not decode.
std::string LocalPathFromUriOrPath(const std::string& value);

// A path the backdrop can use: a readable regular file (a directory, FIFO, device or missing
// file gives empty).
std::string UsablePicture(const std::string& path);

// "#rgb", "#rrggbb", "#rrrrggggbbbb" (as GDK and GSettings colours are written), "rgb(r,g,b)",
// "rgba(...)", KDE's "r,g,b" (0..255) and colour names; none when unparsable.
std::optional<Color> ParseColorText(std::string_view text);
