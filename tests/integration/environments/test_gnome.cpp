// GNOME, Ubuntu and Budgie: the icon extension's grid and recorded places, Budgie's view, and the
// background schema with its dark picture, shading and slideshows.
#ifdef __linux__

#include "desktop/xdg/environments/gnome_background.h"
#include "desktop/xdg/settings_files.h"
#include "tests/support/environment_home.h"

#include <ctime>
#include <set>

namespace {

using Gnome = EnvironmentHome;

TEST_F(Gnome, ShowsNoIconsWithoutItsIconExtension) {
    EXPECT_EQ(Icons("GNOME"), IconList{});
}

TEST_F(Gnome, IconExtensionGridHomeTrashAndUntrustedLaunchers) {
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

TEST_F(Gnome, IconExtensionPutsRecordedItemsIntoTheirCells) {
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

TEST_F(Gnome, BudgieShowsItsViewOnlyWhenSwitchedOn) {
    EXPECT_EQ(Icons("Budgie:GNOME"), IconList{});
    Set("org.buddiesofbudgie.budgie-desktop-view", "show", "true");
    EXPECT_EQ(Icons("Budgie:GNOME"),
              (IconList{"Home|31|10|48", "Trash|31|128|48", "a.txt|31|246|48", "b.txt|31|364|48", "c.txt|31|482|48"}));
}

TEST_F(Gnome, PictureDarkVariantNoneAndTheShadedColour) {
    const std::string light = Picture("caf\xC3\xA9 au lait.png"), dark = Picture("dark.jpg");
    Set("org.gnome.desktop.background", "picture-uri", "file://" + home.string() + "/pictures/caf%C3%A9%20au%20lait.png");
    Set("org.gnome.desktop.background", "picture-uri-dark", "file://" + dark);
    Set("org.gnome.desktop.background", "primary-color", "#102030");
    EXPECT_EQ(In("ubuntu:GNOME"), light + "|16,32,48|");

    Set("org.gnome.desktop.interface", "color-scheme", "prefer-dark");
    EXPECT_EQ(In("GNOME"), dark + "|16,32,48|");
    // Budgie's window manager has no dark picture.
    EXPECT_EQ(In("Budgie:GNOME"), light + "|16,32,48|");

    Set("org.gnome.desktop.background", "picture-options", "none");
    Set("org.gnome.desktop.background", "secondary-color", "#ffffff");
    Set("org.gnome.desktop.background", "color-shading-type", "vertical");
    EXPECT_EQ(In("GNOME"), "|16,32,48|V 16,32,48>255,255,255 M");
    Set("org.gnome.desktop.background", "color-shading-type", "horizontal");
    EXPECT_EQ(In("GNOME"), "|16,32,48|H 16,32,48>255,255,255 M");
}

TEST_F(Gnome, SlideshowShowsTheCurrentSlideAtTheBestSize) {
    const std::string morning = Picture("morning.png"), night = Picture("night.png");
    const std::string small = Picture("small.png"), large = Picture("large.png"), wide = Picture("wide.png");
    Write(home / "show.xml",
          "<background><starttime><year>2020</year><month>1</month><day>1</day><hour>0</hour><minute>0</minute>"
          "<second>0</second></starttime>"
          "<static><duration>43200.0</duration><file>" + morning + "</file></static>"
          "<transition type='overlay'><duration>20.0</duration><from>" + morning + "</from><to>" + night +
          "</to></transition>"
          "<static><duration>43180.0</duration><file>" + night + "</file></static></background>");
    Set("org.gnome.desktop.background", "picture-uri", "file://" + home.string() + "/show.xml");
    // Local noon and midnight of some day after the start.
    std::tm noon{};
    noon.tm_year = 2024 - 1900, noon.tm_mon = 5, noon.tm_mday = 3, noon.tm_hour = 12, noon.tm_isdst = -1;
    std::tm midnight = noon;
    midnight.tm_hour = 0, midnight.tm_min = 30;
    const std::string xml = *ReadSettingsFile((home / "show.xml").string());
    EXPECT_EQ(SlideshowPictureAt(xml, std::mktime(&midnight), 1920, 1080), morning);
    EXPECT_EQ(SlideshowPictureAt(xml, std::mktime(&noon) + 5, 1920, 1080), morning);   // early in the transition
    EXPECT_EQ(SlideshowPictureAt(xml, std::mktime(&noon) + 15, 1920, 1080), night);    // late in it
    EXPECT_EQ(SlideshowPictureAt(xml, std::mktime(&noon) + 3600, 1920, 1080), night);
    // The desktop itself shows the slide of this moment (morning before local noon, else night).
    const std::string now = SlideshowPictureAt(xml, std::time(nullptr), 1920, 1080);
    EXPECT_EQ(In("GNOME").substr(0, now.size() + 1), now + "|");

    // One slide with sizes: the large-enough one nearest the screen's shape.
    const std::string sized = "<background><static><duration>1</duration><file>"
                              "<size width='1024' height='768'>" + small + "</size>"
                              "<size width='3840' height='2160'>" + large + "</size>"
                              "<size width='5120' height='1440'>" + wide + "</size>"
                              "</file></static></background>";
    EXPECT_EQ(SlideshowPictureAt(sized, 0, 1920, 1080), large);
    EXPECT_EQ(SlideshowPictureAt(sized, 0, 800, 600), small);
    EXPECT_EQ(SlideshowPictureAt(sized, 0, 8000, 4000), large);  // none large enough: nearest shape
    // Budgie shows a slideshow as no picture.
    EXPECT_EQ(In("Budgie:GNOME").substr(0, 1), "|");
}

}  // namespace

#endif  // __linux__
