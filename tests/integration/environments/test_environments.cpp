// What every environment shares: which one runs, the values its settings hold, and what a
// hostile settings file or picture path costs.
#ifdef __linux__

#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/gnome_background.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/xfconf.h"
#include "tests/support/environment_home.h"

#include <sys/stat.h>

namespace {

using Environments = EnvironmentHome;

TEST_F(Environments, OnlyReadableLocalFilesArePictures) {
    Set("org.gnome.desktop.background", "primary-color", "#000000");
    mkdir((home / "folder.png").c_str(), 0755);
    mkfifo((home / "fifo.png").c_str(), 0644);
    const std::string locked = Picture("locked.png");
    chmod(locked.c_str(), 0);
    for (const std::string& uri : std::vector<std::string>{"http://example.com/a.png", "smb://host/a.png", "relative/a.png", "file://" + home.string() + "/missing.png",
                                   "file://" + home.string() + "/folder.png", "file://" + home.string() + "/fifo.png",
                                   "file:///dev/zero", "file://elsewhere" + locked}) {
        Set("org.gnome.desktop.background", "picture-uri", uri);
        EXPECT_EQ(In("GNOME"), "|0,0,0|") << uri;
    }
    // Root reads whatever the mode bits say; only check the refusal where it applies.
    if (geteuid() != 0) {
        Set("org.gnome.desktop.background", "picture-uri", "file://" + locked);
        EXPECT_EQ(In("GNOME"), "|0,0,0|");
    }
}

TEST_F(Environments, HostileFilesFallBackWithoutHangingOrBloating) {
    // A FIFO where the settings are, and a device: neither blocks nor streams.
    mkfifo((home / ".fehbg").c_str(), 0644);
    fs::create_directories(home / ".config/nitrogen");
    fs::create_symlink("/dev/zero", home / ".config/nitrogen/bg-saved.cfg");
    fs::create_directories(home / ".config/pcmanfm-qt/lxqt");
    fs::create_symlink("/proc/self/status", home / ".config/pcmanfm-qt/lxqt/settings.conf");
    EXPECT_EQ(In(""), "||");
    EXPECT_EQ(In("LXQt"), "|0,0,0|");  // a /proc file reads (bounded) as settings without a wallpaper
    // A settings file over the limit, and one 10 MB line: not read at all.
    Write(home / ".config/pcmanfm/LXDE/desktop-items-0.conf", "[*]\nwallpaper_mode=crop\nwallpaper=/" +
                                                                   std::string(10 << 20, 'a') + "\n");
    EXPECT_EQ(In("LXDE"), "||");
    EXPECT_FALSE(ReadSettingsFile((home / ".config/pcmanfm/LXDE/desktop-items-0.conf").string()).has_value());
    // Deep nesting and garbage in the XML formats parse to nothing, quickly.
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<property name=\"p\" type=\"empty\">";
    Write(home / ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml", "<channel>" + deep);
    EXPECT_TRUE(ParseXfconfChannel(*ReadSettingsFile(
                    (home / ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml").string()))
                    .size() <= 32);
    EXPECT_EQ(SlideshowPictureAt("<background>" + deep, 0, 1920, 1080), "");
    EXPECT_FALSE(ParsePlasmaAppletsrc("[Containments\nImage=\n[[[]]]\n=", "").has_value());
    EXPECT_FALSE(ParseFehbg("feh --bg-scale 'unterminated\nrm -rf /\n").has_value());
}

TEST_F(Environments, ColoursUrisAndDetection) {
    EXPECT_EQ(LocalPathFromUriOrPath("file:///a/%E2%82%AC%20b.png"), "/a/\xE2\x82\xAC b.png");
    EXPECT_EQ(LocalPathFromUriOrPath("file://localhost/a.png"), "/a.png");
    EXPECT_EQ(LocalPathFromUriOrPath("file://server/a.png"), "");
    EXPECT_EQ(LocalPathFromUriOrPath("file:///a/%00b.png"), "");
    EXPECT_EQ(LocalPathFromUriOrPath("http://example.com/a.png"), "");
    EXPECT_EQ(LocalPathFromUriOrPath("relative/a.png"), "");
    for (const char* text : {"#f80", "#ff8800", "#fff888000", "#ffff88880000", "rgb(255,136,0)", "255,136,0",
                             "255, 136, 0, 128", "orange"}) {
        const std::optional<Color> color = ParseColorText(text);
        ASSERT_TRUE(color.has_value()) << text;
        EXPECT_EQ(Rgb(*color).substr(0, 4), "255,") << text;
    }
    for (const char* text : {"", "#12345", "#ggg", "300,0,0", "1,2", "rgb(1,2,3,4)", "bluish"})
        EXPECT_FALSE(ParseColorText(text).has_value()) << text;
    // The first name the table knows decides; GNOME's flavours come with it.
    const auto detected = [](std::string_view names) {
        const DesktopSession session = DetectDesktopSession(names);
        return std::make_tuple(session.environment, session.ubuntu, session.budgie);
    };
    EXPECT_EQ(detected("ubuntu:GNOME"), std::make_tuple(DesktopEnvironment::Gnome, true, false));
    EXPECT_EQ(detected("GNOME"), std::make_tuple(DesktopEnvironment::Gnome, false, false));
    EXPECT_EQ(detected("Budgie:GNOME"), std::make_tuple(DesktopEnvironment::Gnome, false, true));
    EXPECT_EQ(detected("X-Cinnamon"), std::make_tuple(DesktopEnvironment::Cinnamon, false, false));
    EXPECT_EQ(detected("sway:MATE"), std::make_tuple(DesktopEnvironment::Mate, false, false));
    EXPECT_EQ(detected("LXQt"), std::make_tuple(DesktopEnvironment::Lxqt, false, false));
    EXPECT_EQ(detected("sway:wlroots"), std::make_tuple(DesktopEnvironment::Unknown, false, false));
}

}  // namespace

#endif  // __linux__
