// Cinnamon: nemo's grid with its adjustments and auto-layout, and Cinnamon's own background keys.
#ifdef __linux__

#include "tests/support/environment_home.h"

namespace {

using Cinnamon = EnvironmentHome;

TEST_F(Cinnamon, NemoGridAndItsAutoLayout) {
    // nemo shows none of its own by default; Home when asked. Its cells are 130 x 100 px, 14 x 10
    // of them with the leftover split (50 and 40 px); the icon centred across and 43 px above the
    // middle ((2 lines of 17 px + 48 + 5) / 2). By default it lays everything out, records or not.
    EXPECT_EQ(Icons("X-Cinnamon").size(), 3u);
    Set("org.nemo.desktop", "home-icon-visible", "true");
    Write(home / ".config/nemo/desktop-metadata", "[home]\nnemo-icon-position=300,200\nmonitor=0\n");
    const std::map<std::string, std::string> bus{{"DBUS_SESSION_BUS_ADDRESS", SessionBus()}};
    RunTool({"gio", "set", Path("b.txt"), "metadata::nemo-icon-position", "500,300"}, bus);
    RunTool({"gio", "set", Path("b.txt"), "metadata::monitor", "0"}, bus);
    EXPECT_EQ(Icons("X-Cinnamon"), (IconList{"Home|91|47|48", "a.txt|91|147|48", "b.txt|91|247|48", "c.txt|91|347|48"}));
    // The grid adjustments scale the cells: 195 x 75 px, 9 x 14 of them from (82, 15), the icon
    // raised by at most half a cell.
    Set("org.nemo.desktop", "horizontal-grid-adjust", "1.5");
    Set("org.nemo.desktop", "vertical-grid-adjust", "0.75");
    EXPECT_EQ(Icons("X-Cinnamon"), (IconList{"Home|155|15|48", "a.txt|155|90|48", "b.txt|155|165|48", "c.txt|155|240|48"}));
    Set("org.nemo.desktop", "horizontal-grid-adjust", "1.0");
    Set("org.nemo.desktop", "vertical-grid-adjust", "1.0");
    // Auto-layout off for the monitor: recorded icons exactly where they were, each holding the
    // cell under its nominal point (Home (1, 1), b.txt (3, 2)); the rest fill column 0.
    Write(home / ".config/nemo/desktop-metadata", "[home]\nnemo-icon-position=300,200\nmonitor=0\n\n"
                                                  "[desktop-monitor-0]\nnemo-icon-view-auto-layout=false\n");
    EXPECT_EQ(Icons("X-Cinnamon"), (IconList{"Home|300|200|48", "a.txt|91|47|48", "b.txt|500|300|48", "c.txt|91|147|48"}));
    Set("org.nemo.desktop", "desktop-layout", "'false::true'");
    EXPECT_EQ(Icons("X-Cinnamon"), IconList{});
}

TEST_F(Cinnamon, ReadsItsOwnBackgroundKeys) {
    // Its default is a slideshow Debian does not ship: black, no picture.
    EXPECT_EQ(In("X-Cinnamon"), "|0,0,0|");
    const std::string picture = Picture("mint.jpg");
    Set("org.cinnamon.desktop.background", "picture-uri", "file://" + picture);
    Set("org.gnome.desktop.background", "picture-uri", "file://" + Picture("not this one.jpg"));
    EXPECT_EQ(In("X-Cinnamon"), picture + "|0,0,0|");
    Set("org.cinnamon.desktop.background", "picture-options", "none");
    Set("org.cinnamon.desktop.background", "primary-color", "#ff0000");
    Set("org.cinnamon.desktop.background", "secondary-color", "#0000ff");
    Set("org.cinnamon.desktop.background", "color-shading-type", "horizontal");
    EXPECT_EQ(In("X-Cinnamon"), "|255,0,0|H 255,0,0>0,0,255 E");
}

}  // namespace

#endif  // __linux__
