// Fuzzes reading a desktop entry (a launcher on the desktop) for its name and icon: the bytes are
// written to a file and read back the way the desktop folder is read.
#include "desktop/xdg/desktop_folder.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/gravefall-fuzz-" + std::to_string(getpid()) + ".desktop";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    XdgDesktopItem item;
    item.fileName = "launcher.desktop";
    ReadDesktopEntry(path, item);
    (void)DisplayNameToUtf16(item.displayName);
    return 0;
}
