// Fuzzes whole home folders: the bytes plant, at the paths the desktop's reading opens itself,
// files of chosen content, FIFOs, devices, /proc files, symlink loops, folders and unreadable
// files, and name the desktop environment; then the desktop is read here (as the shell's reading
// child reads it) and the wallpaper loaded. A read that hangs shows up as libFuzzer's timeout.
// (The files only the system's libraries open are the reading child's to survive; the end-to-end
// hostile homes cover those.)
#include "desktop/wallpaper_image.h"
#include "desktop/xdg/desktop_reader.h"
#include "desktop/xdg/environments.h"
#include "desktop/xdg/reading_limits.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path home;

constexpr const char* Desktops[] = {"", "GNOME", "ubuntu:GNOME", "X-Cinnamon", "MATE", "KDE", "XFCE", "LXQt", "LXDE",
                                    "Budgie:GNOME"};

constexpr const char* Paths[] = {
    ".config/user-dirs.dirs", "Desktop/.hidden", "Desktop/a.desktop", "Desktop/b.desktop", "Desktop/folder",
    "Desktop/c.txt", ".config/gtk-3.0/settings.ini", ".config/kdeglobals",
    ".config/xfce4/xfconf/xfce-perchannel-xml/xsettings.xml",
    ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml", ".config/xfce4/desktop/icons.screen0-1920x1080.rc",
    ".config/xfce4/desktop/icons.screen0.rc", ".config/plasma-org.kde.plasma.desktop-appletsrc", ".config/plasmarc",
    ".config/kactivitymanagerdrc", ".config/pcmanfm-qt/lxqt/settings.conf", ".config/pcmanfm-qt/lxqt/desktop-items-0.conf",
    ".config/pcmanfm/LXDE/desktop-items-0.conf", ".config/pcmanfm/LXDE/pcmanfm.conf", ".config/libfm/libfm.conf",
    ".config/nemo/desktop-metadata", ".config/caja/desktop-metadata", ".fehbg", ".config/nitrogen/bg-saved.cfg",
    ".local/share/icons/Fuzzed/index.theme", ".local/share/icons/Fuzzed/48x48/apps/app.png",
    ".local/share/icons/Fuzzed/48x48/apps", ".icons/Fuzzed/index.theme", "pictures/wall.png", "pictures/icon.svg",
    ".local/share/icons/Fuzzed", ".config/xfce4/desktop/icons.screen0.yaml"};

void WriteFile(const fs::path& path, const std::string& content) {
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::ofstream(path, std::ios::binary) << content;
}

// The same start every time: a theme, two launchers, a backdrop, so that planted harm has
// something to spoil.
void PrepareHome() {
    std::error_code ignored;
    for (const fs::path& locked : {home / "Desktop", home / ".config"}) fs::permissions(locked, fs::perms::owner_all, ignored);
    fs::remove_all(home, ignored);
    WriteFile(home / ".config/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=Fuzzed\n");
    WriteFile(home / ".local/share/icons/Fuzzed/index.theme",
              "[Icon Theme]\nName=Fuzzed\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\nType=Fixed\n");
    WriteFile(home / "Desktop/a.desktop", "[Desktop Entry]\nType=Application\nName=A\nIcon=app\n");
    WriteFile(home / "Desktop/b.desktop",
              "[Desktop Entry]\nType=Link\nName=B\nIcon=" + (home / "pictures/icon.svg").string() + "\n");
    WriteFile(home / ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml",
              "<channel name=\"xfce4-desktop\"><property name=\"backdrop\"><property name=\"screen0\"><property "
              "name=\"monitor0\"><property name=\"workspace0\"><property name=\"last-image\" value=\"" +
                  (home / "pictures/wall.png").string() + "\"/></property></property></property></property></channel>");
}

void Plant(const fs::path& path, unsigned kind, const std::string& content) {
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    fs::remove_all(path, ignored);
    switch (kind % 9) {
        case 0: WriteFile(path, content); break;
        case 1: mkfifo(path.c_str(), 0644); break;
        case 2: fs::create_symlink("/dev/zero", path, ignored); break;
        case 3: fs::create_symlink("/proc/self/status", path, ignored); break;
        case 4: fs::create_symlink("/dev/urandom", path, ignored); break;
        case 5: fs::create_symlink(path, path, ignored); break;  // a link to itself
        case 6: fs::create_directories(path, ignored); break;
        case 7: fs::create_symlink("/proc/self/pagemap", path, ignored); break;
        case 8:
            WriteFile(path, content);
            fs::permissions(path, fs::perms::none, ignored);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    home = fs::temp_directory_path() / ("gravefall-fuzz-home-" + std::to_string(getpid()));
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (home / "etc-xdg").c_str(), 1);
    setenv("XDG_DATA_DIRS", "/usr/share", 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
    setenv("GIO_USE_VOLUME_MONITOR", "unix", 1);
    unsetenv("DISPLAY");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    PrepareHome();
    setenv("XDG_CURRENT_DESKTOP", Desktops[data[0] % std::size(Desktops)], 1);
    // Records: path, kind, content length, content.
    for (std::size_t at = 1; at + 3 <= size;) {
        const fs::path path = home / Paths[data[at] % std::size(Paths)];
        const unsigned kind = data[at + 1];
        const std::size_t length = std::min<std::size_t>(data[at + 2] * 16u, size - at - 3);
        Plant(path, kind, std::string(reinterpret_cast<const char*>(data) + at + 3, length));
        at += 3 + length;
    }

    SetDesktopReadingDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(1500));
    DesktopReader reader;
    const DesktopSnapshot snapshot = reader.ReadHead(CurrentDesktopSession());
    for (std::size_t index = 0; index < reader.ImageCount(); ++index) {
        const std::optional<RgbaImage> image = reader.DecodeImage(index);
        if (image && (image->width > snapshot.iconSize || image->height > snapshot.iconSize)) std::abort();
    }
    for (const XdgViewItem& entry : snapshot.view)
        if (entry.item >= snapshot.items.size()) std::abort();
    (void)LoadWallpaperPixels(snapshot.wallpaper.path, DecodeWithPlatform, 4096, 320, 200, Backdrop(Color{0, 0, 1}));
    return 0;
}
