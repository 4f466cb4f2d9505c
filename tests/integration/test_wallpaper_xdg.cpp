// The backdrop each desktop environment shows, read from prepared homes: settings written with
// the environments' own tool (gsettings on their installed schemas, keyfile backend) or in their
// exact file formats, then read back in a child process as the mirror reads them.
#ifdef __linux__

#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"
#include "tests/support/prepared_home.h"

#include <sys/stat.h>

#include <cmath>

namespace {

std::string Rgb(const Color& color) {
    const auto byte = [](float value) { return std::to_string(static_cast<int>(std::lround(value * 255.0f))); };
    return byte(color.r) + "," + byte(color.g) + "," + byte(color.b);
}

// "picture|colour|gradient", the gradient as "V first>second ramp" (H for horizontal, ramp E or M).
std::string Describe(const WallpaperSetting& setting) {
    std::string line = setting.path + "|" + (setting.color ? Rgb(*setting.color) : "") + "|";
    if (setting.gradient) {
        line += setting.gradient->direction == GradientDirection::Vertical ? "V " : "H ";
        line += Rgb(setting.gradient->first) + ">" + Rgb(setting.gradient->second);
        line += setting.gradient->ramp == GradientRamp::EdgeToEdge ? " E" : " M";
    }
    return line;
}

const ScreenFacts Screen{.x = 0, .y = 0, .width = 1920, .height = 1080, .connector = "HDMI-1", .monitorIndex = 0,
                         .workspace = 1, .workX = 0, .workY = 0, .workWidth = 1920, .workHeight = 1080};

std::string Backdrop() { return Describe(QueryXdgWallpaper(Screen)); }

class XdgWallpaper : public PreparedHome {
protected:
    // A picture file the backdrop may show (its content does not matter to the reader).
    std::string Picture(const std::string& name) {
        Write(home / "pictures" / name, "picture");
        return (home / "pictures" / name).string();
    }
    // gsettings with the keyfile backend, as a desktop's settings panel writes.
    void Set(const std::string& schema, const std::string& key, const std::string& value) {
        RunTool({"gsettings", "set", schema, key, value}, {{"GSETTINGS_BACKEND", "keyfile"}});
    }
    std::string In(const std::string& desktop) {
        return InChild(Backdrop, {{"XDG_CURRENT_DESKTOP", desktop}, {"GSETTINGS_BACKEND", "keyfile"}});
    }
};

// ---- GNOME, Ubuntu, Budgie, Cinnamon, MATE: GSettings --------------------------------------

TEST_F(XdgWallpaper, GnomePictureDarkVariantNoneAndTheShadedColour) {
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

TEST_F(XdgWallpaper, OnlyReadableLocalFilesArePictures) {
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

TEST_F(XdgWallpaper, GnomeSlideshowShowsTheCurrentSlideAtTheBestSize) {
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
    EXPECT_EQ(InChild(Backdrop, {{"XDG_CURRENT_DESKTOP", "GNOME"}, {"GSETTINGS_BACKEND", "keyfile"}}).substr(0, now.size() + 1),
              now + "|");

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

TEST_F(XdgWallpaper, CinnamonReadsItsOwnKeys) {
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

TEST_F(XdgWallpaper, MateReadsAPathTwelveDigitColoursAndItsDefaultGradient) {
    // The default picture names an unexpanded ${prefix}: no picture, the default vertical gradient.
    EXPECT_EQ(In("MATE"), "|88,145,188|V 88,145,188>60,143,37 E");
    const std::string picture = Picture("mate.png");
    Set("org.mate.background", "picture-filename", picture);
    Set("org.mate.background", "primary-color", "#ffff80800000");
    Set("org.mate.background", "color-shading-type", "solid");
    EXPECT_EQ(In("MATE"), picture + "|255,128,0|");
    Set("org.mate.background", "picture-filename", "none");
    EXPECT_EQ(In("MATE"), "|255,128,0|");
    Set("org.mate.background", "picture-filename", "file://" + picture);  // a URI is not a path MATE reads
    EXPECT_EQ(In("MATE"), picture + "|255,128,0|");
}

// ---- KDE Plasma ------------------------------------------------------------------------------

TEST_F(XdgWallpaper, PlasmaPrimaryScreenDesktopOfTheCurrentActivity) {
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

TEST_F(XdgWallpaper, PlasmaPackagesColourPluginAndDefaults) {
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

// ---- XFCE ------------------------------------------------------------------------------------

std::string XfceChannel(const std::string& backdrops) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<channel name=\"xfce4-desktop\" version=\"1.0\">\n"
           " <property name=\"backdrop\" type=\"empty\">\n" + backdrops + " </property>\n</channel>\n";
}

std::string XfceBackdrop(const std::string& monitor, int workspace, const std::string& properties) {
    return "<property name=\"screen0\" type=\"empty\"><property name=\"monitor" + monitor +
           "\" type=\"empty\"><property name=\"workspace" + std::to_string(workspace) + "\" type=\"empty\">" +
           properties + "</property></property></property>\n";
}

std::string Rgba(const char* name, const char* r, const char* g, const char* b) {
    return std::string("<property name=\"") + name + "\" type=\"array\"><value type=\"double\" value=\"" + r +
           "\"/><value type=\"double\" value=\"" + g + "\"/><value type=\"double\" value=\"" + b +
           "\"/><value type=\"double\" value=\"1\"/></property>";
}

TEST_F(XdgWallpaper, XfceMonitorAndWorkspace) {
    const std::string first = Picture("x & y.jpg"), second = Picture("second.jpg"), other = Picture("other.jpg");
    const fs::path channel = home / ".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml";
    const std::string image = "<property name=\"last-image\" type=\"string\" value=\"";
    // The screen's connector wins over the first monitor listed; the shown workspace is 0.
    Write(channel, XfceChannel(
        XfceBackdrop("eDP-1", 0, image + other + "\"/>") +
        XfceBackdrop("HDMI-1", 0, image + home.string() + "/pictures/x &amp; y.jpg\"/>" + Rgba("rgba1", "1", "0.5", "0")) +
        "<property name=\"single-workspace-mode\" type=\"bool\" value=\"true\"/>"));
    EXPECT_EQ(In("XFCE"), first + "|255,128,0|");

    // Each workspace its own backdrop: the current one (1), with a vertical gradient and no image.
    Write(channel, XfceChannel(
        XfceBackdrop("HDMI-1", 0, image + other + "\"/>") +
        XfceBackdrop("HDMI-1", 1, image + second + "\"/><property name=\"image-style\" type=\"int\" value=\"0\"/>"
                     "<property name=\"color-style\" type=\"int\" value=\"2\"/>" +
                     Rgba("rgba1", "0", "0", "1") + Rgba("rgba2", "1", "1", "1")) +
        "<property name=\"single-workspace-mode\" type=\"bool\" value=\"false\"/>"));
    EXPECT_EQ(In("XFCE"), "|0,0,255|V 0,0,255>255,255,255 E");

    // Nothing set: xfdesktop's own picture over its dark blue (the picture only where installed).
    fs::remove(channel);
    const std::string defaults = In("XFCE");
    EXPECT_TRUE(defaults == "/usr/share/backgrounds/xfce/xfce-shapes.svg|21,34,51|" || defaults == "|21,34,51|")
        << defaults;
}

// ---- LXQt, LXDE, nitrogen, feh -------------------------------------------------------------

TEST_F(XdgWallpaper, LxqtAndLxdeFiles) {
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

TEST_F(XdgWallpaper, StandaloneSettersWithoutADesktop) {
    const std::string picture = Picture("nitro.jpg");
    Write(home / ".config/nitrogen/bg-saved.cfg", "[xin_1]\nfile=/elsewhere.png\n\n[xin_-1]\nfile=" + picture +
                                                      "\nmode=5\nbgcolor=# 0ff 0\n");
    EXPECT_EQ(In(""), picture + "|0,255,0|");
    // feh's record comes first, read as text and never run.
    const std::string fed = Picture("it's here.png");
    Write(home / ".fehbg", "#!/bin/sh\nfeh --no-fehbg --bg-scale '" + home.string() + "/pictures/it'\\''s here.png' \n");
    EXPECT_EQ(In(""), fed + "||");
}

// ---- Hostile settings --------------------------------------------------------------------------

TEST_F(XdgWallpaper, HostileFilesFallBackWithoutHangingOrBloating) {
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

TEST(XdgSettingValues, ColoursUrisAndDetection) {
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
    EXPECT_EQ(DetectDesktopEnvironment("ubuntu:GNOME"), DesktopEnvironment::Gnome);
    EXPECT_EQ(DetectDesktopEnvironment("X-Cinnamon"), DesktopEnvironment::Cinnamon);
    EXPECT_EQ(DetectDesktopEnvironment("Budgie:GNOME"), DesktopEnvironment::Budgie);
    EXPECT_EQ(DetectDesktopEnvironment("MATE"), DesktopEnvironment::Mate);
    EXPECT_EQ(DetectDesktopEnvironment("LXQt"), DesktopEnvironment::Lxqt);
    EXPECT_EQ(DetectDesktopEnvironment("sway:wlroots"), DesktopEnvironment::Unknown);
}

}  // namespace

#endif  // __linux__
