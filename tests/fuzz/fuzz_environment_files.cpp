// Fuzzes the parsers of each desktop environment's own files: xfconf channels (and XFCE's
// backdrop in them), KDE Plasma's applet configuration, GNOME's slideshows, LXQt's and LXDE's
// settings, nitrogen's and feh's records, the user's folders file and xfdesktop's positions. The
// first byte picks the parser.
#include "desktop/xdg/environments/xfce_positions.h"
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/gnome_background.h"
#include "desktop/xdg/xfconf.h"

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
    switch (data[0] % 9) {
        case 0: (void)ParseXfconfChannel(text); break;
        case 1: (void)ParseXfceDesktopChannel(text, screen); break;
        case 2: (void)ParsePlasmaAppletsrc(text, "activity"); break;
        case 3: (void)SlideshowPictureAt(text, 1700000000, 1920, 1080); break;
        case 4: (void)ParseLxqtSettings(text); (void)ParsePcmanfmDesktop(text, "*"); break;
        case 5: (void)ParseNitrogenConfig(text); break;
        case 6: (void)ParseFehbg(text); break;
        case 7: (void)UserDirectory(text, "DESKTOP", "/home/user"); break;
        case 8:
            if (const auto configs = ParseXfcePositionConfigs(text))
                (void)XfceConfigForMonitor(*configs, XfceMonitorRecord{"id", 0, 0, 1920, 1080});
            break;
    }
    return 0;
}
