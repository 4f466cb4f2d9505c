// The desktop shell on Linux: the XDG desktop folder shown the way a freedesktop desktop shows
// it. The "view" is the folder in the file manager's order at its recorded or default positions;
// the "system image list" is the list of distinct icon images met so far, from the user's icon
// theme at 48 px; an icon handle is an owned RGBA image.
#include "desktop/shell.h"
#include "desktop/xdg/desktop_icons.h"
#include "desktop/xdg/icon_lookup.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"
#include "desktop/xdg/xdg_desktop.h"

#include <glib.h>
#include <limits.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstring>
#include <sys/stat.h>
#include <cstdlib>
#include <cstdio>
#include <unordered_map>

namespace {

// All the distinct icon images of a desktop together: 64 million pixels (256 MiB of RGBA) is
// thousands of icons at the largest sizes; past it the generic image stands in.
constexpr std::int64_t MaxDecodedIconPixels = 64ll << 20;
// The desktop's icons are read within this time from the shell's creation; what is not read by
// then does without (see SetDesktopReadingDeadline). One vector icon gets at most a second of it.
constexpr std::chrono::milliseconds DesktopReadingTime{2000};
constexpr double MaxIconDecodeSeconds = 1.0;
// A wallpaper in another format than PNG gets this long to decode (a large SVG takes a while).
constexpr double WallpaperDecodeSeconds = 2.0;

// A plain sheet of paper with a folded corner, for items whose icon cannot be found or read.
RgbaImage GenericIconImage(std::int32_t size) {
    RgbaImage image;
    image.width = size;
    image.height = size;
    image.pixels.assign(static_cast<std::size_t>(size) * size * 4, 0);
    // Drawn on a 48-unit design scaled to the size.
    const auto unit = [size](int value) { return value * size / 48; };
    const int left = unit(8), right = unit(40), top = unit(4), bottom = unit(44), fold = unit(10);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (x - (right - fold) > y - top) continue;  // the cut corner
            const bool edge = x == left || x == right - 1 || y == top || y == bottom - 1 || x - (right - fold) == y - top;
            unsigned char* p = &image.pixels[(static_cast<std::size_t>(y) * size + x) * 4];
            const unsigned char shade = edge ? 110 : 245;
            p[0] = p[1] = p[2] = shade;
            p[3] = 255;
        }
    }
    return image;
}

IconHandle ToHandle(RgbaImage* image) { return reinterpret_cast<IconHandle>(image); }
RgbaImage* FromHandle(IconHandle icon) { return reinterpret_cast<RgbaImage*>(icon); }

class XdgShell final : public DesktopShell {
public:
    XdgShell() { SetDesktopReadingDeadline(std::chrono::steady_clock::now() + DesktopReadingTime); }

    bool OpenDesktopView() override { return Scan(); }

    bool OpenDesktopFolder() override { return Scan(); }

    bool OpenImageList() override {
        if (!theme) theme.emplace(XdgIconThemeName(), IconSearchPath());
        return true;
    }

    std::optional<std::int32_t> ViewItemCount() override { return static_cast<std::int32_t>(view.size()); }

    bool ViewItemAt(std::int32_t index, ShellViewItem& item) override {
        if (index < 0 || static_cast<std::size_t>(index) >= view.size()) return false;
        item.name = DisplayNameToUtf16((*items)[view[index].item].displayName);
        item.position = view[index].position;
        item.folderIndex = static_cast<std::int32_t>(view[index].item);
        return true;
    }

    std::int32_t FolderItemCount() override { return items ? static_cast<std::int32_t>(items->size()) : 0; }

    ShellFolderItem FolderItemAt(std::int32_t index) override {
        ShellFolderItem result;
        if (!items || index < 0 || static_cast<std::size_t>(index) >= items->size()) return result;
        const XdgDesktopItem& item = (*items)[index];
        result.name = DisplayNameToUtf16(item.displayName);
        result.iconIndex = ImageIndex(item.icon);
        return result;
    }

    ShellIcon IconAt(std::int32_t iconIndex) override {
        if (iconIndex < 0 || static_cast<std::size_t>(iconIndex) >= images.size()) return {};
        ImageEntry& entry = images[iconIndex];
        if (!entry.image) {
            // Decoding stops for good once the desktop's icons have taken their share of memory
            // or of the time to read the desktop.
            const std::int64_t pixels = std::int64_t{iconSize} * iconSize;
            const double secondsLeft = std::min(DesktopReadingSecondsLeft(), MaxIconDecodeSeconds);
            if (!entry.path.empty() && decodedIconPixels + pixels <= MaxDecodedIconPixels && secondsLeft > 0) {
                entry.image = LoadIconImage(entry.path, iconSize, secondsLeft);
                if (entry.image) decodedIconPixels += std::int64_t{entry.image->width} * entry.image->height;
            }
            // A missing or broken image still gives the item an icon.
            if (!entry.image) entry.image = GenericIconImage(iconSize);
        }
        auto* copy = new RgbaImage(*entry.image);
        return ShellIcon{ToHandle(copy), copy->width, copy->height};
    }

    std::vector<unsigned char> CaptureIconPixels(IconHandle icon, std::int32_t& width, std::int32_t& height) override {
        if (icon == nullptr) return {};
        const RgbaImage& image = *FromHandle(icon);
        width = image.width;
        height = image.height;
        return image.pixels;
    }

    void DestroyIcon(IconHandle icon) override { delete FromHandle(icon); }

    std::string QueryWallpaperPath() override { return Wallpaper().path; }
    std::optional<Color> QueryDesktopColor() override { return Wallpaper().color; }
    std::optional<ColorGradient> QueryDesktopGradient() override { return Wallpaper().gradient; }

    std::optional<RgbaImage> DecodeWithPlatform(const std::string& bytes, std::int32_t fitWidth,
                                                std::int32_t fitHeight) override {
        return DecodeWithImageLoaders(bytes, fitWidth, fitHeight, WallpaperDecodeSeconds);
    }

private:
    struct ImageEntry {
        std::string path;  // empty: the generic image
        std::optional<RgbaImage> image;
    };

    // The desktop as the running environment shows it: its items, their places, the icon size.
    bool Scan() {
        if (!scanned) {
            scanned = true;
            // Names sort as the user's locale sorts them; only for this, so nothing else changes.
            const char* current = std::setlocale(LC_COLLATE, nullptr);
            const std::string previous = current ? current : "C";
            std::setlocale(LC_COLLATE, "");
            const char* desktop = g_getenv("XDG_CURRENT_DESKTOP");
            std::optional<IconArrangement> arrangement =
                ArrangeDesktopIcons(DetectDesktopEnvironment(desktop ? desktop : ""), Screen());
            std::setlocale(LC_COLLATE, previous.c_str());
            if (arrangement) {
                iconSize = std::clamp(arrangement->iconSize, 16, 256);
                view = std::move(arrangement->view);
                items = std::move(arrangement->items);
            } else {
                // The run ends with exit code 1; say why where the user started us.
                std::printf("ERROR::DESKTOP: Failed to read the desktop folder %s\n", XdgDesktopDirectory().c_str());
                std::fflush(stdout);
            }
        }
        return items.has_value();
    }

    const ScreenFacts& Screen() {
        if (!screen) screen = ReadScreenFacts();
        return *screen;
    }

    // The image list index of the image a request resolves to, adding the image when it is new.
    std::int32_t ImageIndex(const XdgIconRequest& request) {
        std::string requestKey = request.file;
        for (const std::string& name : request.names) requestKey += "\n" + name;
        if (auto known = indexByRequest.find(requestKey); known != indexByRequest.end()) return known->second;

        std::string path = request.file;
        if (path.empty() && !request.names.empty()) {
            OpenImageList();
            path = theme->Choose(request.names, iconSize);
        }
        // One image per file, however many names and links lead to it.
        if (!path.empty()) {
            if (gchar* real = realpath(path.c_str(), nullptr)) {
                path = real;
                std::free(real);
            }
        }
        std::int32_t index;
        if (auto known = indexByPath.find(path); known != indexByPath.end()) {
            index = known->second;
        } else {
            index = static_cast<std::int32_t>(images.size());
            images.push_back(ImageEntry{path, std::nullopt});
            indexByPath.emplace(path, index);
        }
        indexByRequest.emplace(std::move(requestKey), index);
        return index;
    }

    const WallpaperSetting& Wallpaper() {
        if (!wallpaper) wallpaper = QueryXdgWallpaper(Screen());
        return *wallpaper;
    }

    bool scanned = false;
    std::optional<std::vector<XdgDesktopItem>> items;
    std::vector<XdgViewItem> view;
    std::optional<IconThemeLookup> theme;
    std::vector<ImageEntry> images;
    std::unordered_map<std::string, std::int32_t> indexByPath;
    std::unordered_map<std::string, std::int32_t> indexByRequest;
    std::optional<WallpaperSetting> wallpaper;
    std::optional<ScreenFacts> screen;
    std::int32_t iconSize = 48;
    std::int64_t decodedIconPixels = 0;
};

// Without a session bus, GLib would launch one (dbus-launch --autolaunch) for the settings
// store and the file-metadata service, and that daemon would outlive us: the mirror never starts
// another program, so a missing bus stays missing and those fall back to their local readers.
void NeverAutolaunchASessionBus() {
    if (g_getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) return;
    const char* runtime = g_getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && g_file_test((std::string(runtime) + "/bus").c_str(), G_FILE_TEST_EXISTS)) return;
    g_setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/gravefall-has-no-session-bus", TRUE);
}

// dconf opens and maps the user's settings database itself: a FIFO or a device there would block
// or stream without end, so then the settings come from their defaults instead.
void KeepDconfToARegularDatabase() {
    const char* backend = g_getenv("GSETTINGS_BACKEND");
    if (backend != nullptr && std::strcmp(backend, "dconf") != 0) return;
    const std::string path = UserConfigPath({"dconf", "user"});
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return;  // none yet: dconf starts empty
    if (S_ISREG(status.st_mode) && status.st_size <= (64 << 20)) return;
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
}

}  // namespace

std::unique_ptr<DesktopShell> CreateDesktopShell() {
    NeverAutolaunchASessionBus();
    KeepDconfToARegularDatabase();
    return std::make_unique<XdgShell>();
}
