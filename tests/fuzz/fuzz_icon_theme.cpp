// Fuzzes icon themes: the bytes are a theme's index.theme; each directory it names is made with a
// few icons in it, and the lookup chooses among them at several sizes, so hostile sizes, types,
// scales and directory names all reach the choice.
#include "desktop/xdg/icon_lookup.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path root = fs::temp_directory_path() / ("gravefall-fuzz-theme-" + std::to_string(getpid()));
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(root / "Fuzzed", ignored);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(root / "Fuzzed" / "index.theme", std::ios::binary) << text;
    if (const std::optional<IconThemeIndex> index = ParseIconThemeIndex(text)) {
        std::size_t made = 0;
        for (const IconDirectoryKeys& directory : index->directories) {
            if (++made > 8) break;
            const fs::path folder = root / "Fuzzed" / directory.name;
            fs::create_directories(folder, ignored);
            for (const char* file : {"app.png", "app.svg", "shape-symbolic.png", "other.xpm", "other.symbolic.png"})
                std::ofstream(folder / file) << "x";
        }
    }
    const IconThemeLookup lookup("Fuzzed", {root.string()});
    for (const int wanted : {1, 16, 48, 96, 256, 1 << 30})
        (void)lookup.Choose({"shape-symbolic", "app", "other", "missing"}, wanted);
    return 0;
}
