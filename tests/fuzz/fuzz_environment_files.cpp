// Fuzzes the parsers of each desktop environment's own files: xfconf channels (and XFCE's
// backdrop in them), KDE Plasma's applet configuration, GNOME's slideshows, LXQt's and LXDE's
// settings, nitrogen's and feh's records, and the user's folders file. The first byte picks the
// parser.
#include "desktop/xdg/wallpaper.h"
#include "desktop/xdg/xdg_desktop.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    ScreenFacts screen;
    screen.width = screen.workWidth = 1920;
    screen.height = screen.workHeight = 1080;
    screen.connector = "HDMI-1";
    switch (data[0] % 8) {
        case 0: (void)ParseXfconfChannel(text); break;
        case 1: (void)ParseXfceDesktopChannel(text, screen); break;
        case 2: (void)ParsePlasmaAppletsrc(text, "activity"); break;
        case 3: (void)SlideshowPictureAt(text, 1700000000, 1920, 1080); break;
        case 4: (void)ParseLxqtSettings(text); (void)ParsePcmanfmDesktop(text, "*"); break;
        case 5: (void)ParseNitrogenConfig(text); break;
        case 6: (void)ParseFehbg(text); break;
        case 7: (void)UserDirectory(text, "DESKTOP", "/home/user"); break;
    }
    return 0;
}
