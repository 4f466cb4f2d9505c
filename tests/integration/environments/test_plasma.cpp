// KDE Plasma: the folder view's sorted or manual icons, and the wallpaper of the current activity's
// desktop on the primary screen.
#ifdef __linux__

#include "tests/support/environment_home.h"

namespace {

using Plasma = EnvironmentHome;

TEST_F(Plasma, FolderViewSortedOrManual) {
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

TEST_F(Plasma, PrimaryScreenDesktopOfTheCurrentActivity) {
    const std::string mine = Picture("mine.jpg"), other = Picture("other.jpg"), elsewhere = Picture("screen1.jpg");
    Write(home / ".config/kactivitymanagerdrc", "[main]\ncurrentActivity=work\n");
    Write(home / ".config/plasma-org.kde.plasma.desktop-appletsrc",
          "[Containments][2]\nactivityId=\nformfactor=2\nlastScreen=0\nlocation=4\nplugin=org.kde.panel\n"
          "wallpaperplugin=org.kde.image\n\n"
          "[Containments][2][Wallpaper][org.kde.image][General]\nImage=file://" + elsewhere + "\n\n"
          "[Containments][7]\nactivityId=play\nlastScreen[$i]=0\nplugin=org.kde.plasma.folder\n"
          "wallpaperplugin=org.kde.image\n\n[Containments][7][Wallpaper][org.kde.image][General]\nImage=" + other + "\n\n"
          "[Containments][9]\nactivityId=work\nlastScreen=1\nplugin=org.kde.plasma.folder\n\n"
          "[Containments][9][Wallpaper][org.kde.image][General]\nImage=" + elsewhere + "\n\n"
          "[Containments][12]\nactivityId=work\nlastScreen=0\nplugin=org.kde.plasma.folder\n"
          "wallpaperplugin=org.kde.image\n\n"
          "[Containments][12][Wallpaper][org.kde.image][General]\nColor=10,20,30\nImage=file://" + mine + "\n");
    EXPECT_EQ(In("KDE"), mine + "|10,20,30|");
    Write(home / ".config/kactivitymanagerdrc", "[main]\ncurrentActivity=play\n");
    EXPECT_EQ(In("KDE"), other + "|0,0,0|");
}

TEST_F(Plasma, PackagesColourPluginAndDefaults) {
    const fs::path package = home / ".local/share/wallpapers/Hills";
    for (const char* size : {"1280x1024", "1920x1080", "3840x2160", "2560x1080"})
        Write(package / "contents/images" / (std::string(size) + ".png"), "x");
    Write(package / "contents/images_dark/1920x1200.png", "x");
    const std::string containment = "[Containments][1]\nactivityId=a\nlastScreen=0\nplugin=org.kde.plasma.folder\n";
    Write(home / ".config/plasma-org.kde.plasma.desktop-appletsrc",
          containment + "[Containments][1][Wallpaper][org.kde.image][General]\nImage=file://" + package.string() + "/\n");
    EXPECT_EQ(In("KDE"), (package / "contents/images/1920x1080.png").string() + "|0,0,0|");
    // Under a dark colour scheme the package's dark images.
    Write(home / ".config/kdeglobals", "[Colors:Window]\nBackgroundNormal=32,35,38\n");
    EXPECT_EQ(In("KDE"), (package / "contents/images_dark/1920x1200.png").string() + "|0,0,0|");
    fs::remove(home / ".config/kdeglobals");

    // An empty image: the look-and-feel package's default wallpaper.
    Write(home / ".local/share/plasma/look-and-feel/org.kde.breeze.desktop/contents/defaults",
          "[Wallpaper]\nImage=Hills\n");
    Write(home / ".config/plasma-org.kde.plasma.desktop-appletsrc", containment);
    EXPECT_EQ(In("KDE"), (package / "contents/images/1920x1080.png").string() + "|0,0,0|");

    Write(home / ".config/plasma-org.kde.plasma.desktop-appletsrc",
          containment + "wallpaperplugin=org.kde.color\n[Containments][1][Wallpaper][org.kde.color][General]\n"
                        "Color=200,100,50\n");
    EXPECT_EQ(In("KDE"), "|200,100,50|");
    Write(home / ".config/plasma-org.kde.plasma.desktop-appletsrc", containment + "wallpaperplugin=org.kde.color\n");
    EXPECT_EQ(In("KDE"), "|29,153,243|");
}

}  // namespace

#endif  // __linux__
