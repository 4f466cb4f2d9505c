// The icons each desktop environment shows, where and how big, on prepared homes: settings
// written with gsettings on the environments' installed schemas or in their own file formats,
// positions computed by hand from each desktop's geometry on a 1920 x 1080 screen without panels.
#ifdef __linux__

#include "tests/support/prepared_home.h"

#include <glib.h>

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
    // "label|x|y|size" per icon, in the desktop's order.
    std::vector<std::string> Icons(const std::string& desktop) {
        auto settings = Settings();
        settings["XDG_CURRENT_DESKTOP"] = desktop;
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
    auto settings = Settings();
    settings["DBUS_SESSION_BUS_ADDRESS"] = bus.at("DBUS_SESSION_BUS_ADDRESS");
    settings["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
    const std::vector<std::string> lines = Lines(InChild(CaptureLines, settings));
    ASSERT_EQ(lines.size(), 4u) << InChild(CaptureLines, settings);
    EXPECT_EQ(lines[0].substr(0, 10), "Home|32|2|");
    EXPECT_EQ(lines[1].substr(0, 13), "Trash|32|122|");
    EXPECT_EQ(lines[2].substr(0, 13), "a.txt|32|242|");   // the next free cell
    EXPECT_EQ(lines[3].substr(0, 14), "b.txt|672|242|");  // cell (5, 2): 5 * 128 + 32, 2 * 120 + 2
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

TEST_F(DesktopIcons, LxdeAndLxqtFilesPlaces) {
    Write(home / ".config/pcmanfm/LXDE/desktop-items-0.conf", "[*]\nshow_trash=1\n\n[b.txt]\nx=500\ny=300\n");
    // pcmanfm's cells from (2, 2): 116 wide, 48 + 2 + 4 + 12 plus two lines of "Sans 12" high
    // (19 px each at 96 dpi: 104), the icon 34 px in and 7 px down; its Trash first.
    EXPECT_EQ(Icons("LXDE"), (IconList{"Trash|36|9|48", "a.txt|36|113|48", "b.txt|534|307|48", "c.txt|36|217|48"}));
    Write(home / ".config/pcmanfm-qt/lxqt/desktop-items-0.conf", "[c.txt]\npos=@Point(700 400)\n");
    Write(home / ".config/pcmanfm-qt/lxqt/settings.conf", "[Desktop]\nDesktopIconSize=64\n");
    // pcmanfm-qt moves a saved item to the nearest of its cells (143 x 132 for 64 px icons).
    EXPECT_EQ(Icons("LXQt"), (IconList{"a.txt|51|14|64", "b.txt|51|146|64", "c.txt|766|410|64"}));
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
    // caja shows Computer, Home and Trash by default; the Trash where the user left it.
    Write(home / ".config/caja/desktop-metadata", "[trash]\ncaja-icon-position=400,500\n");
    // A fresh desktop's column: from (64, 22), 80 px apart.
    EXPECT_EQ(Icons("MATE"), (IconList{"Computer|64|22|48", std::string(g_get_user_name()) + "'s Home|64|102|48",
                                    "Trash|400|500|48", "a.txt|64|182|48", "b.txt|64|262|48", "c.txt|64|342|48"}));
    Set("org.mate.background", "show-desktop-icons", "false");
    EXPECT_EQ(Icons("MATE"), IconList{});
    // nemo shows none of its own by default; Home when asked, on its monitor's record.
    EXPECT_EQ(Icons("X-Cinnamon").size(), 3u);
    Set("org.nemo.desktop", "home-icon-visible", "true");
    Write(home / ".config/nemo/desktop-metadata", "[home]\nnemo-icon-position=300,200\nmonitor=0\n");
    EXPECT_EQ(Icons("X-Cinnamon")[0], "Home|300|200|48");
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
