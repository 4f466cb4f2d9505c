// LXDE and LXQt: pcmanfm's and pcmanfm-qt's grids, saved places and wallpaper settings.
#ifdef __linux__

#include "tests/support/environment_home.h"

namespace {

using Pcmanfm = EnvironmentHome;

TEST_F(Pcmanfm, LxdeAndLxqtGridsAndSavedPlaces) {
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

TEST_F(Pcmanfm, LxqtAndLxdeWallpaperFiles) {
    const std::string picture = Picture("lx qt.png");
    const fs::path lxqt = home / ".config/pcmanfm-qt/lxqt/settings.conf";
    Write(lxqt, "[Desktop]\nBgColor=#336699\nWallpaper=\"" + picture + "\"\nWallpaperMode=zoom\n");
    EXPECT_EQ(In("LXQt"), picture + "|51,102,153|");
    Write(lxqt, "[Desktop]\nBgColor=#336699\nWallpaper=" + picture + "\nWallpaperMode=none\n");
    EXPECT_EQ(In("LXQt"), "|51,102,153|");
    Write(lxqt, "[Desktop]\nWallpaper=" + picture + "\n");  // no mode: pcmanfm-qt shows none
    EXPECT_EQ(In("LXQt"), "|0,0,0|");
    // The system's profile when the user has none.
    fs::remove(lxqt);
    Write(home / "etc-xdg/pcmanfm-qt/lxqt/settings.conf", "[Desktop]\nWallpaper=" + picture + "\nWallpaperMode=stretch\n");
    EXPECT_EQ(In("LXQt"), picture + "|0,0,0|");

    const fs::path items = home / ".config/pcmanfm/LXDE/desktop-items-0.conf";
    Write(items, "[*]\nwallpaper_mode=crop\nwallpaper_common=1\nwallpaper=" + picture + "\ndesktop_bg=#102030\n");
    EXPECT_EQ(In("LXDE"), picture + "|16,32,48|");
    Write(items, "[*]\nwallpaper_mode=color\nwallpaper=" + picture + "\ndesktop_bg=#102030\n");
    EXPECT_EQ(In("LXDE"), "|16,32,48|");
    // Without desktop-items: pcmanfm.conf, the user's keys over the system's.
    fs::remove(items);
    Write(home / "etc-xdg/pcmanfm/LXDE/pcmanfm.conf", "[desktop]\nwallpaper_mode=1\nwallpaper=" + picture + "\n");
    Write(home / ".config/pcmanfm/LXDE/pcmanfm.conf", "[desktop]\ndesktop_bg=#ffffff\n");
    EXPECT_EQ(In("LXDE"), picture + "|255,255,255|");
}

}  // namespace

#endif  // __linux__
