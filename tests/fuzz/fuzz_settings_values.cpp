// Fuzzes the readers every environment's settings go through: INI-style files (with KDE's group
// names and Qt's escapes), colour texts and file URIs.
#include "desktop/xdg/settings_files.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniFile file = ParseIniFile(text);
    for (const IniFile::Group& group : file.groups)
        for (const auto& [key, value] : group.entries) {
            (void)QtSettingText(value);
            (void)ParseColorText(value);
            (void)file.Find(group.name, key);
        }
    (void)IniValue(text, "Desktop", "Wallpaper");
    (void)ParseColorText(text);
    (void)LocalPathFromUriOrPath(text);
    return 0;
}
