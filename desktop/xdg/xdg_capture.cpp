// The desktop capture on Linux: the XDG desktop folder shown the way the running desktop shows
// it, read in one child process (child_process.h) so that no file of the user's can hang, crash or
// bloat the show through the libraries that read it. The child's snapshot is the captured desktop;
// the show takes what the child read by its deadline.
#include "desktop/desktop_capture.h"

#include "core/file_bytes.h"
#include "core/startup_profile.h"
#include "desktop/xdg/child_process.h"
#include "desktop/xdg/desktop_folder.h"
#include "desktop/xdg/desktop_reader.h"
#include "desktop/xdg/desktop_snapshot.h"
#include "desktop/xdg/environments.h"
#include "desktop/xdg/image_files.h"
#include "desktop/xdg/reading_limits.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <cstdlib>
#include <cstdio>

namespace {

using namespace reading_limits;

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

// ---- Reading the desktop: in the reading child ------------------------------------------------

// Reads the desktop in a child: the head first, then each image as it is decoded, so that a
// child stopped at the deadline has still said what it read.
std::optional<DesktopSnapshot> ReadDesktopInChild() {
    const ChildAnswer answer = RunInChildProcess(
        [](int out) {
            SetDesktopReadingDeadline(std::chrono::steady_clock::now() + DesktopReadingTime);
            DesktopReader reader;
            const DesktopSnapshot head = reader.ReadHead(CurrentDesktopSession());
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

// The guards above, once, before GLib first looks at the environment.
void GuardTheLibraries() {
    static const bool guarded = [] {
        NeverAutolaunchASessionBus();
        KeepDconfToARegularDatabase();
        return true;
    }();
    (void)guarded;
}

// The snapshot as the mirror takes it: the view's items in order, each with its name and image (a
// missing, broken or late image gives the generic one).
CapturedDesktop FromSnapshot(DesktopSnapshot snapshot) {
    CapturedDesktop desktop;
    desktop.iconSize = snapshot.iconSize;
    desktop.wallpaper = std::move(snapshot.wallpaper);
    std::optional<RgbaImage> generic;
    desktop.icons.reserve(snapshot.view.size());
    for (const XdgViewItem& entry : snapshot.view) {
        const SnapshotItem& item = snapshot.items[entry.item];
        const std::int32_t index = item.imageIndex;
        if (index < 0 || static_cast<std::size_t>(index) >= snapshot.images.size()) continue;
        const bool decoded = snapshot.images[static_cast<std::size_t>(index)].has_value();
        if (!decoded && !generic) generic = GenericIconImage(snapshot.iconSize);
        DesktopIcon icon;
        icon.position = entry.position;
        icon.label = DisplayNameToUtf16(item.displayName);
        icon.image = decoded ? *snapshot.images[static_cast<std::size_t>(index)] : *generic;
        icon.width = icon.image.width;
        icon.height = icon.image.height;
        desktop.icons.push_back(std::move(icon));
    }
    return desktop;
}

}  // namespace

std::optional<CapturedDesktop> CaptureDesktop() {
    GuardTheLibraries();
    std::optional<DesktopSnapshot> snapshot = ReadDesktopInChild();
    // A desktop that could not be read in time is empty, with the default backdrop.
    if (!snapshot) return CapturedDesktop{};
    if (!snapshot->readable) {
        // The run ends with exit code 1; say why where the user started us.
        std::printf("ERROR::DESKTOP: Failed to read the desktop folder %s\n", XdgDesktopDirectory().c_str());
        std::fflush(stdout);
        return std::nullopt;
    }
    return FromSnapshot(std::move(*snapshot));
}

std::optional<RgbaImage> DecodeWithPlatform(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight) {
    GuardTheLibraries();
    return DecodeWithImageLoaders(bytes, fitWidth, fitHeight, WallpaperDecodeSeconds());
}
