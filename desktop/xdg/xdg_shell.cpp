// The desktop shell on Linux: the XDG desktop folder shown the way the running desktop shows it.
// The "view" is the desktop's items in its order at their recorded or default places; the "system
// image list" is the list of distinct icon images, from the user's icon theme at the desktop's
// icon size; an icon handle is an owned RGBA image. All of it is read in one child process
// (child_process.h), so that no file of the user's can hang, crash or bloat the show through the
// libraries that read it; the show takes what the child read by its deadline.
#include "core/file_bytes.h"
#include "core/startup_profile.h"
#include "desktop/shell.h"
#include "desktop/xdg/child_process.h"
#include "desktop/xdg/desktop_reader.h"
#include "desktop/xdg/desktop_snapshot.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"
#include "desktop/xdg/xdg_desktop.h"

#include <glib.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <cstdlib>
#include <cstdio>

namespace {

// The desktop is read within this time; what is not read by then does without (see
// SetDesktopReadingDeadline). The reading child gets a little longer to hand over what it read,
// and is stopped after that, whatever it is doing.
constexpr std::chrono::milliseconds DesktopReadingTime{1500};
constexpr double ReadingChildSeconds = 2.0;
constexpr std::size_t ReadingChildMemory = 1u << 30;
constexpr std::size_t MaxSnapshotBytes = (DesktopReader::MaxDecodedIconPixels + (1 << 20)) * 4;
// A wallpaper in another format than PNG is decoded by the time start-up has taken 3 s (it
// follows the desktop's reading and the window), given at least one second and at most two: a
// large SVG takes a while, an endless one must not hold up the show.
double WallpaperDecodeSeconds() { return std::clamp(3.0 - SecondsSinceProcessStart(), 1.0, 2.0); }

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

// ---- Reading the desktop: in the reading child ------------------------------------------------

// Reads the desktop in a child: the head first, then each image as it is decoded, so that a
// child stopped at the deadline has still said what it read.
std::optional<DesktopSnapshot> ReadDesktopInChild() {
    const ChildAnswer answer = RunInChildProcess(
        [](int out) {
            SetDesktopReadingDeadline(std::chrono::steady_clock::now() + DesktopReadingTime);
            DesktopReader reader;
            const DesktopSnapshot head = reader.ReadHead();
            const std::string bytes = EncodeSnapshotHead(head);
            if (!WriteAnswer(out, bytes.data(), bytes.size())) return false;
            for (std::size_t index = 0; index < reader.ImageCount(); ++index) {
                if (const std::optional<RgbaImage> image = reader.DecodeImage(index)) {
                    const std::string record = EncodeSnapshotImage(static_cast<std::int32_t>(index), *image);
                    if (!WriteAnswer(out, record.data(), record.size())) return false;
                }
            }
            return true;
        },
        ChildLimits{ReadingChildSeconds, ReadingChildMemory, MaxSnapshotBytes});
    return DecodeSnapshot(answer.bytes);
}

// ---- The shell: in the show ---------------------------------------------------------------------

class XdgShell final : public DesktopShell {
public:
    bool OpenDesktopView() override { return Scan(); }

    bool OpenDesktopFolder() override { return Scan(); }

    bool OpenImageList() override { return true; }

    std::optional<std::int32_t> ViewItemCount() override { return static_cast<std::int32_t>(snapshot.view.size()); }

    bool ViewItemAt(std::int32_t index, ShellViewItem& item) override {
        if (index < 0 || static_cast<std::size_t>(index) >= snapshot.view.size()) return false;
        const XdgViewItem& entry = snapshot.view[static_cast<std::size_t>(index)];
        item.name = DisplayNameToUtf16(snapshot.items[entry.item].displayName);
        item.position = entry.position;
        item.folderIndex = static_cast<std::int32_t>(entry.item);
        return true;
    }

    std::int32_t FolderItemCount() override { return static_cast<std::int32_t>(snapshot.items.size()); }

    ShellFolderItem FolderItemAt(std::int32_t index) override {
        ShellFolderItem result;
        if (index < 0 || static_cast<std::size_t>(index) >= snapshot.items.size()) return result;
        const SnapshotItem& item = snapshot.items[static_cast<std::size_t>(index)];
        result.name = DisplayNameToUtf16(item.displayName);
        result.iconIndex = item.imageIndex;
        return result;
    }

    ShellIcon IconAt(std::int32_t iconIndex) override {
        if (iconIndex < 0 || static_cast<std::size_t>(iconIndex) >= snapshot.images.size()) return {};
        std::optional<RgbaImage>& image = snapshot.images[static_cast<std::size_t>(iconIndex)];
        // A missing, broken or late image still gives the item an icon.
        if (!image) image = GenericIconImage(snapshot.iconSize);
        auto* copy = new RgbaImage(*image);
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

    std::string QueryWallpaperPath() override { return Scan() ? snapshot.wallpaper.path : std::string(); }
    std::optional<Color> QueryDesktopColor() override { return Scan() ? snapshot.wallpaper.color : std::nullopt; }
    std::optional<ColorGradient> QueryDesktopGradient() override {
        return Scan() ? snapshot.wallpaper.gradient : std::nullopt;
    }

    std::optional<RgbaImage> DecodeWithPlatform(const std::string& bytes, std::int32_t fitWidth,
                                                std::int32_t fitHeight) override {
        return DecodeWithImageLoaders(bytes, fitWidth, fitHeight, WallpaperDecodeSeconds());
    }

private:
    // Reads the desktop once. False when its folder is there but cannot be read; a desktop that
    // could not be read in time is empty, with the default backdrop.
    bool Scan() {
        if (!scanned) {
            scanned = true;
            if (std::optional<DesktopSnapshot> read = ReadDesktopInChild()) snapshot = std::move(*read);
            if (!snapshot.readable) {
                // The run ends with exit code 1; say why where the user started us.
                std::printf("ERROR::DESKTOP: Failed to read the desktop folder %s\n", XdgDesktopDirectory().c_str());
                std::fflush(stdout);
            }
        }
        return snapshot.readable;
    }

    bool scanned = false;
    DesktopSnapshot snapshot;
};

// Without a session bus, GLib would launch one (dbus-launch --autolaunch) for the settings
// store and the file-metadata service, and that daemon would outlive us: the mirror never starts
// another program, so a missing bus stays missing and those fall back to their local readers.
void NeverAutolaunchASessionBus() {
    if (g_getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) return;
    const char* runtime = g_getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && g_file_test((std::string(runtime) + "/bus").c_str(), G_FILE_TEST_EXISTS)) return;
    g_setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/gravefall-has-no-session-bus", TRUE);
    // The volume monitors that ask services on the bus would only complain; the mounts come from
    // the system's mount table then.
    g_setenv("GIO_USE_VOLUME_MONITOR", "unix", FALSE);
}

// dconf opens and maps the user's settings database itself: a FIFO or a device there would block
// or stream without end, so then the settings come from their defaults instead.
void KeepDconfToARegularDatabase() {
    // An empty name is no choice: GLib then takes dconf too.
    const char* backend = g_getenv("GSETTINGS_BACKEND");
    if (backend != nullptr && backend[0] != '\0' && std::strcmp(backend, "dconf") != 0) return;
    const std::string path = UserConfigPath({"dconf", "user"});
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return;  // none yet: dconf starts empty
    // Read whole here first, bounded: the size a /proc file reports (0) says nothing.
    if (ReadRegularFile(path, 64 << 20)) return;
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
}

}  // namespace

std::unique_ptr<DesktopShell> CreateDesktopShell() {
    NeverAutolaunchASessionBus();
    KeepDconfToARegularDatabase();
    return std::make_unique<XdgShell>();
}
