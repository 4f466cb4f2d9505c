// The icons each desktop environment shows, where and how big, on prepared homes: settings
// written with gsettings on the environments' installed schemas or in their own file formats,
// positions computed by hand from each desktop's geometry on a 1920 x 1080 screen without panels.
#ifdef __linux__

#include "desktop/xdg/environments/xfce_positions.h"
#include "tests/support/prepared_home.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

class DesktopIcons : public PreparedHome {
protected:
    void SetUp() override {
        PreparedHome::SetUp();
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) Write(home / "Desktop" / name, "text");
    }
    void Set(const std::string& schema, const std::string& key, const std::string& value) {
        RunTool({"gsettings", "set", schema, key, value}, Settings());
    }
    std::map<std::string, std::string> Settings() {
        std::map<std::string, std::string> settings{{"GSETTINGS_BACKEND", "keyfile"}};
        // GNOME's desktop-icons extension ships its schema with the extension (scripts/test
        // compiles the packaged one).
        if (const char* ding = std::getenv("GRAVEFALL_DING_SCHEMA_DIR")) settings["GSETTINGS_SCHEMA_DIR"] = ding;
        return settings;
    }
    // "label|x|y|size" per icon, in the desktop's order (reading GIO's metadata on this home's
    // session bus when there is one).
    std::vector<std::string> Icons(const std::string& desktop) {
        auto settings = Settings();
        settings["XDG_CURRENT_DESKTOP"] = desktop;
        if (!busAddress.empty()) settings["DBUS_SESSION_BUS_ADDRESS"] = busAddress;
        std::vector<std::string> icons;
        for (const std::string& line : Lines(InChild(CaptureLines, settings))) {
            std::vector<std::string> fields;
            std::size_t start = 0;
            for (int i = 0; i < 4; ++i) {
                const std::size_t bar = line.find('|', start);
                fields.push_back(line.substr(start, bar - start));
                start = bar + 1;
            }
            icons.push_back(fields[0] + "|" + fields[1] + "|" + fields[2] + "|" + fields[3]);
        }
        return icons;
    }
    std::string Path(const char* name) { return (home / "Desktop" / name).string(); }
};

using IconList = std::vector<std::string>;

TEST_F(DesktopIcons, GnomeShowsNoneWithoutItsIconExtension) {
    EXPECT_EQ(Icons("GNOME"), IconList{});
}

TEST_F(DesktopIcons, GnomeIconExtensionGridHomeTrashAndUntrustedLaunchers) {
    if (std::getenv("GRAVEFALL_DING_SCHEMA_DIR") == nullptr) GTEST_SKIP() << "scripts/test provides the extension's schema";
    fs::remove(home / "Desktop/b.txt");
    fs::remove(home / "Desktop/c.txt");
    Write(home / "Desktop/web.desktop", "[Desktop Entry]\nType=Application\nName=Web\nExec=true\n");
    // Ubuntu runs the extension by default: 64 px icons on 15 x 9 cells of 128 x 120 px, Home and
    // Trash first; a launcher nobody allowed to run shows its file name.
    const IconList ubuntu = Icons("ubuntu:GNOME");
    ASSERT_EQ(ubuntu.size(), 4u);
    EXPECT_EQ(ubuntu[0], "Home|32|2|64");
    EXPECT_EQ(ubuntu[1], "Trash|32|122|64");
    EXPECT_TRUE((ubuntu[2] == "a.txt|32|242|64" && ubuntu[3] == "web.desktop|32|362|64") ||
                (ubuntu[3] == "a.txt|32|362|64" && ubuntu[2] == "web.desktop|32|242|64"));

    // Elsewhere when the user enables it; from the top-right corner, without Trash, small icons.
    Set("org.gnome.shell", "enabled-extensions", "['ding@rastersoft.com']");
    Set("org.gnome.shell.extensions.ding", "start-corner", "top-right");
    Set("org.gnome.shell.extensions.ding", "show-trash", "false");
    Set("org.gnome.shell.extensions.ding", "icon-size", "small");
    const IconList gnome = Icons("GNOME");
    ASSERT_EQ(gnome.size(), 3u);
    // 48 px icons on 19 x 11 cells: 1920 * 18 / 19 = 1818, plus 2, plus (101 - 4 - 48) / 2.
    EXPECT_EQ(gnome[0], "Home|1844|2|48");
    Set("org.gnome.shell", "disabled-extensions", "['ding@rastersoft.com']");
    EXPECT_EQ(Icons("ubuntu:GNOME"), IconList{});
}

TEST_F(DesktopIcons, GnomeIconExtensionPutsRecordedItemsIntoTheirCells) {
    if (std::getenv("GRAVEFALL_DING_SCHEMA_DIR") == nullptr) GTEST_SKIP() << "scripts/test provides the extension's schema";
    // Positions as the extension records them, in GIO's metadata store (gvfs on a session bus):
    // the item's top-left in screen pixels, anywhere inside its cell.
    const std::map<std::string, std::string> bus{{"DBUS_SESSION_BUS_ADDRESS", SessionBus()}};
    RunTool({"gio", "set", Path("b.txt"), "metadata::nautilus-icon-position", "700,250"}, bus);   // cell (5, 2)
    RunTool({"gio", "set", Path("c.txt"), "metadata::nautilus-icon-position", "2500,100"}, bus);  // another monitor
    const IconList icons = Icons("ubuntu:GNOME");
    ASSERT_EQ(icons.size(), 4u);
    EXPECT_EQ(icons[0], "Home|32|2|64");
    EXPECT_EQ(icons[1], "Trash|32|122|64");
    // The files come in GIO's listing order, which follows the file system, not their names.
    const std::set<std::string> files(icons.begin() + 2, icons.end());
    EXPECT_EQ(files, (std::set<std::string>{"a.txt|32|242|64",      // the next free cell
                                            "b.txt|672|242|64"}));  // cell (5, 2): 5 * 128 + 32, 2 * 120 + 2
}

TEST_F(DesktopIcons, XfceSlotsSavedSlotsAndItsOwnIcons) {
    const fs::path channel = home / ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml";
    const auto write = [&](const std::string& properties) {
        Write(channel, "<channel name=\"xfce4-desktop\" version=\"1.0\"><property name=\"desktop-icons\" type=\"empty\">" +
                           properties + "</property></channel>");
    };
    write("<property name=\"file-icons\" type=\"empty\">"
          "<property name=\"show-filesystem\" type=\"bool\" value=\"false\"/>"
          "<property name=\"show-trash\" type=\"bool\" value=\"false\"/>"
          "<property name=\"show-removable\" type=\"bool\" value=\"false\"/></property>");
    Write(home / ".config/xfce4/desktop/icons.screen0-1920x1080.rc",
          "[xfdesktop-version-4.10.3+-rcfile_format]\n4.10.3+=true\n\n[" + Path("b.txt") + "]\nrow=2\ncol=3\n");
    // Without a window manager's work area: cells of 48 * 1.9 + 12 = 103.2 px, 18 x 10 of them,
    // 105.2 x 106.2 apart from (14, 10); the icon 27 px in and 6 px down. Home first, then the
    // files as xfdesktop receives them: GIO's listing (by inode number, not always the order the
    // files were made in), reversed within each ten.
    const IconList icons = Icons("XFCE");
    ASSERT_EQ(icons.size(), 4u);
    EXPECT_EQ(icons[0], "Home|41|16|48");
    const std::set<std::string> files(icons.begin() + 1, icons.end());
    EXPECT_TRUE(files == (std::set<std::string>{"a.txt|41|122|48", "b.txt|356|228|48", "c.txt|41|228|48"}) ||
                files == (std::set<std::string>{"c.txt|41|122|48", "b.txt|356|228|48", "a.txt|41|228|48"}))
        << icons[1] << " " << icons[2] << " " << icons[3];
    write("<property name=\"style\" type=\"int\" value=\"0\"/>");
    EXPECT_EQ(Icons("XFCE"), IconList{});
}

TEST_F(DesktopIcons, Xfce420PositionsFileAndGravity) {
    const fs::path channel = home / ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml";
    const auto write = [&](const std::string& properties) {
        Write(channel, "<channel name=\"xfce4-desktop\" version=\"1.0\"><property name=\"desktop-icons\" type=\"empty\">" +
                           properties + "<property name=\"file-icons\" type=\"empty\">"
                           "<property name=\"show-filesystem\" type=\"bool\" value=\"false\"/>"
                           "<property name=\"show-removable\" type=\"bool\" value=\"false\"/></property></property></channel>");
    };
    write("");
    Write(home / ".config/xfce4/desktop/icons.screen0-1920x1080.rc",
          "[Trash]\nrow=4\ncol=4\n[" + Path("b.txt") + "]\nrow=2\ncol=3\n");
    // 4.20's file: a config for another monitor, and one of this monitor's size (its identifier,
    // from another machine, does not match) naming Trash by its URI. The 4.18 file is not read.
    const auto config = [](const std::string& size, const std::string& icons) {
        return "- level: 0\n  monitors:\n  - id: \"0000\"\n    display_name: \"Some Monitor (DP-2)\"\n"
               "    geometry:\n      x: 0\n      y: 0\n      " + size + "\n  icons:\n" + icons;
    };
    const std::string mine = config("width: 1920\n      height: 1080",
                                    "    \"trash:///\":\n      row: 0\n      col: 17\n    \"" + Path("b.txt") +
                                        "\":\n      row: 9\n      col: 0\n      last_seen: 1733788800\n");
    const std::string other = config("width: 1280\n      height: 1024", "    \"" + Path("a.txt") + "\": {row: 5, col: 5}\n");
    const fs::path yaml = home / ".config/xfce4/desktop/icons.screen0.yaml";
    Write(yaml, "#\n# DO NOT EDIT THIS FILE WHILE XFDESKTOP IS RUNNING\n#\nconfigs:\n" + other + mine);
    // The files as they arrive (a.txt and c.txt in either order, see above), with b.txt saved.
    const auto files = [](const IconList& icons, const std::string& saved, const std::string& first, const std::string& second) {
        const std::set<std::string> found(icons.begin() + 2, icons.end());
        return found == std::set<std::string>{saved, "a.txt|" + first, "c.txt|" + second} ||
               found == std::set<std::string>{saved, "a.txt|" + second, "c.txt|" + first};
    };
    // Slot (c, r) at (41 + 105.2 c, 16 + 106.2 r), truncated; the rest into the first free slots.
    IconList icons = Icons("XFCE");
    ASSERT_EQ(icons.size(), 5u);
    EXPECT_EQ(icons[0], "Trash|1829|16|48");
    EXPECT_EQ(icons[1], "Home|41|16|48");
    EXPECT_TRUE(files(icons, "b.txt|41|971|48", "41|122|48", "41|228|48")) << icons[2] << " " << icons[3] << " " << icons[4];

    // No config for this monitor: 4.20 takes the 4.18 slots once, by its own names (Trash's is not
    // "Trash"). Gravity 2 fills columns from the right.
    Write(yaml, "configs:\n" + other);
    write("<property name=\"gravity\" type=\"int\" value=\"2\"/>");
    icons = Icons("XFCE");
    ASSERT_EQ(icons.size(), 5u);
    EXPECT_EQ(icons[0], "Trash|1829|16|48");
    EXPECT_EQ(icons[1], "Home|1829|122|48");
    EXPECT_TRUE(files(icons, "b.txt|356|228|48", "1829|228|48", "1829|334|48")) << icons[2] << " " << icons[3] << " " << icons[4];
    // A file xfdesktop refuses holds no configs: this monitor's is not used either.
    Write(yaml, "configs:\n" + mine + "  extra: 1\n");
    icons = Icons("XFCE");
    ASSERT_EQ(icons.size(), 5u);
    EXPECT_EQ(icons[0], "Trash|1829|16|48");
    EXPECT_EQ(std::count(icons.begin(), icons.end(), "b.txt|356|228|48"), 1);
}

TEST(XfcePositionConfigs, AreReadAsXfdesktopReadsThem) {
    const std::string monitor = "  monitors:\n  - id: \"m1\"\n    display_name: \"A (DP-1)\"\n"
                                "    geometry: {x: 0, y: 0, width: 1920, height: 1080}\n";
    const auto parse = [&](const std::string& rest) { return ParseXfcePositionConfigs("configs:\n- level: 0\n" + monitor + rest); };
    const auto parsed = parse("  icons:\n    \"/d/a\": {row: 1, col: 2}\n    \"/d/b\":\n      r: 3\n      c: 4\n"
                              "- level: 1\n  monitors: []\n  icons: {}\n- level: 0\n  monitors: []\n  icons: {}\n");
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->size(), 3u);
    // Higher level first, then last first (xfdesktop prepends them).
    EXPECT_EQ((*parsed)[0].level, 1);
    EXPECT_TRUE((*parsed)[1].icons.empty());
    const XfcePositionConfig& first = (*parsed)[2];
    ASSERT_EQ(first.monitors.size(), 1u);
    EXPECT_EQ(first.monitors[0].width, 1920);
    ASSERT_EQ(first.icons.size(), 2u);
    EXPECT_EQ(first.icons.at("/d/a").column, 2);
    EXPECT_EQ(first.icons.at("/d/b").row, 3);  // a key names every field that begins with it
    EXPECT_TRUE(ParseXfcePositionConfigs("#\n# only a comment\n").has_value());

    // What xfdesktop refuses, the whole file with it.
    for (const std::string& bad : {std::string("  icons:\n    \"/d/a\": {row: \"1\", col: 2}\n"),  // a quoted number
                                   std::string("  icons:\n    \"/d/a\": {row: 1}\n"),              // no column
                                   std::string("  icons:\n    \"/d/a\": {row: 1, col: 2x}\n"),
                                   std::string("  icons:\n    \"/d/a\": &p {row: 1, col: 2}\n    \"/d/b\": *p\n"),
                                   std::string("  colour: blue\n"), std::string("  icons: []\n")})
        EXPECT_FALSE(parse(bad).has_value()) << bad;
    EXPECT_FALSE(ParseXfcePositionConfigs("configs:\n- level: 0\n  monitors:\n  - id: \"m\"\n"
                                          "    geometry: {x: 0, y: 0, width: 1, height: 1}\n").has_value());  // unnamed
    EXPECT_FALSE(ParseXfcePositionConfigs("configs:\n- monitors: []\n").has_value());                      // no level
    EXPECT_FALSE(ParseXfcePositionConfigs(std::string(200000, '[')).has_value());
    EXPECT_FALSE(ParseXfcePositionConfigs("configs: [\"\xff\xfe\"]").has_value());

    // libxfce4windowing's names: SHA-1 in hex, of the EDID where there is one.
    EXPECT_EQ(XfceMonitorIdentifier("", "DP-1"), "c7ddd51be0ebda4a1ba85adbb1c62009273de6c2");
    EXPECT_EQ(XfceMonitorIdentifier("edid", "DP-1"), XfceMonitorIdentifier("edid", "HDMI-1"));
}

TEST(XfcePositionConfigs, GoToTheMonitorXfdesktopGivesThem) {
    const auto config = [](std::vector<XfceMonitorRecord> monitors) {
        XfcePositionConfig made;
        made.monitors = std::move(monitors);
        return made;
    };
    const XfceMonitorRecord here{"mine", 0, 0, 1920, 1080};
    // Its identifier first, wherever that config is; else the only one of its size.
    std::vector<XfcePositionConfig> configs{config({{"x", 0, 0, 1920, 1080}}), config({{"mine", 0, 0, 800, 600}})};
    EXPECT_EQ(XfceConfigForMonitor(configs, here), &configs[1]);
    configs[1].monitors[0].id = "y";
    EXPECT_EQ(XfceConfigForMonitor(configs, here), &configs[0]);
    // Several of its size: the only one at its place; else none (xfdesktop would ask).
    configs.push_back(config({{"z", 1920, 0, 1920, 1080}}));
    EXPECT_EQ(XfceConfigForMonitor(configs, here), &configs[0]);
    configs.push_back(config({{"w", 0, 0, 1920, 1080}}));
    EXPECT_EQ(XfceConfigForMonitor(configs, here), nullptr);
    EXPECT_EQ(XfceConfigForMonitor({}, here), nullptr);
}

TEST_F(DesktopIcons, LxdeAndLxqtFilesPlaces) {
    Write(home / ".config/pcmanfm/LXDE/desktop-items-0.conf", "[*]\nshow_trash=1\n\n[b.txt]\nx=500\ny=300\n");
    // pcmanfm's cells from (2, 2): 116 wide, 48 + 2 + 4 + 12 plus two lines of "Sans 12" high
    // (19 px each at 96 dpi: 104), the icon 34 px in and 7 px down; its Trash first.
    EXPECT_EQ(Icons("LXDE"), (IconList{"Trash|36|9|48", "a.txt|36|113|48", "b.txt|534|307|48", "c.txt|36|217|48"}));
    Write(home / ".config/pcmanfm-qt/lxqt/desktop-items-0.conf", "[c.txt]\npos=@Point(700 400)\n");
    Write(home / ".config/pcmanfm-qt/lxqt/settings.conf", "[Desktop]\nDesktopIconSize=64\n");
    // pcmanfm-qt's cells in Qt's default font, DejaVu Sans 12 pt (16 px at 96 dpi: lines of 19 px,
    // characters of 8): max(64, 13 * 8) + 4 + 6 wide, 64 + 3 * 19 + 4 + 2 high plus the bottom gap
    // shared out (1056 % 127 = 40 over 8 rows: 2 px more margin a side); a saved item goes into
    // the cell its corner falls in.
    EXPECT_EQ(Icons("LXQt"), (IconList{"a.txt|37|15|64", "b.txt|37|146|64", "c.txt|721|277|64"}));
    // DejaVu Sans 10 (13 px: 15 and 7): 101 x 99 cells, 10 rows leaving 66 px, 3 more a side;
    // b.txt and c.txt saved in one cell (c.txt goes one down), a.txt above the work area (unused).
    Write(home / ".config/pcmanfm-qt/lxqt/settings.conf", "[Desktop]\nFont=\"DejaVu Sans,10,-1,5,50,0,0,0,0,0\"\n");
    Write(home / ".config/pcmanfm-qt/lxqt/desktop-items-0.conf",
          "[a.txt]\npos=@Point(300 5)\n[b.txt]\npos=@Point(710 420)\n[c.txt]\npos=@Point(700 400)\n");
    EXPECT_EQ(Icons("LXQt"), (IconList{"a.txt|38|16|48", "b.txt|644|331|48", "c.txt|644|436|48"}));
    Write(home / ".config/pcmanfm-qt/lxqt/settings.conf", "[Desktop]\nHideItems=true\n");
    EXPECT_EQ(Icons("LXQt"), IconList{});
}

TEST_F(DesktopIcons, PlasmaFolderViewSortedOrManual) {
    const std::string containment = "[Containments][1]\nactivityId=a\nlastScreen=0\nplugin=";
    const fs::path file = home / ".config/plasma-org.kde.plasma.desktop-appletsrc";
    Write(file, containment + "org.kde.desktopcontainment\n");
    EXPECT_EQ(Icons("KDE"), IconList{});
    // 64 px icons in rows of 112 x 120 px cells; manual positions for this screen size.
    Write(file, containment + "org.kde.plasma.folder\n[Containments][1][General]\nsortMode=-1\n"
                              "positions={\"1920x1080\":[\"2\",\"17\",\"desktop:/b.txt\",\"1\",\"2\"]}\n");
    EXPECT_EQ(Icons("KDE"), (IconList{"a.txt|24|4|64", "b.txt|248|124|64", "c.txt|136|4|64"}));
    // Sorted (the default), the positions are not used.
    Write(file, containment + "org.kde.plasma.folder\n[Containments][1][General]\niconSize=2\n"
                              "positions={\"1920x1080\":[\"2\",\"17\",\"desktop:/b.txt\",\"1\",\"2\"]}\n");
    EXPECT_EQ(Icons("KDE")[1], "b.txt|144|4|48");
}

TEST_F(DesktopIcons, CajaAndNemoOwnIconsAndTheirRecords) {
    // caja shows Computer, Home and Trash by default, the Trash after the files. Nothing recorded:
    // a column from (64, 22) whose rows follow the labels, 20 * ceil((box + 10) / 20) apart with a
    // box of 48 + 4 + the label's lines (17 px each in Sans 10): 80 px, 120 after three lines.
    Write(home / "Desktop/notes for the meeting on tuesday.txt", "text");
    const std::string user = std::string(g_get_user_name()) + "'s Home";
    EXPECT_EQ(Icons("MATE"), (IconList{"Computer|64|22|48", user + "|64|102|48", "a.txt|64|182|48", "b.txt|64|262|48",
                                    "c.txt|64|342|48", "notes for the meeting on tuesday.txt|64|422|48",
                                    "Trash|64|542|48"}));
    // Once anything is recorded, recorded icons stay (kept 10 px inside: b.txt from 2500,-40, the
    // 1 x 2 px bounds of an unlabelled item) and the others go, Home first and the files by
    // descending name, to the first spot down the 78 x 20 px cells that their box leaves free:
    // y = -18 raised to 10, then 102 below Home's box (rows 0-3), 222 below the three lines.
    Write(home / ".config/caja/desktop-metadata", "[trash]\ncaja-icon-position=400,500\n");
    RunTool({"gio", "set", Path("b.txt"), "metadata::caja-icon-position", "2500,-40"},
            {{"DBUS_SESSION_BUS_ADDRESS", SessionBus()}});
    EXPECT_EQ(Icons("MATE"), (IconList{"Computer|64|422|48", user + "|64|10|48", "a.txt|64|322|48", "b.txt|1909|10|48",
                                    "c.txt|64|222|48", "notes for the meeting on tuesday.txt|64|102|48",
                                    "Trash|400|500|48"}));
    Set("org.mate.background", "show-desktop-icons", "false");
    EXPECT_EQ(Icons("MATE"), IconList{});
}

TEST_F(DesktopIcons, NemoGridAndItsAutoLayout) {
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

TEST_F(DesktopIcons, BudgieShowsItsViewOnlyWhenSwitchedOn) {
    EXPECT_EQ(Icons("Budgie:GNOME"), IconList{});
    Set("org.buddiesofbudgie.budgie-desktop-view", "show", "true");
    EXPECT_EQ(Icons("Budgie:GNOME"),
              (IconList{"Home|31|10|48", "Trash|31|128|48", "a.txt|31|246|48", "b.txt|31|364|48", "c.txt|31|482|48"}));
}

}  // namespace

#endif  // __linux__
