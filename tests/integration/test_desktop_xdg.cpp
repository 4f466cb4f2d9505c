// The Linux desktop shell against prepared home directories: which items the desktop shows with
// which names, icons and positions.
#ifdef __linux__

#include "desktop/desktop_capture.h"
#include "desktop/xdg/xdg_desktop.h"
#include "tests/support/prepared_home.h"

#include <glib.h>
// This program writes the test images; the unit tests link their own copy.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {


void WritePng(const fs::path& path, int size, std::array<unsigned char, 4> colour) {
    fs::create_directories(path.parent_path());
    std::vector<unsigned char> pixels;
    for (int i = 0; i < size * size; ++i) pixels.insert(pixels.end(), colour.begin(), colour.end());
    ASSERT_NE(stbi_write_png(path.c_str(), size, size, 4, pixels.data(), size * 4), 0);
}

void WriteSvg(const fs::path& path, const char* fill) {
    Write(path, std::string("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                            "<rect width='16' height='16' fill='") + fill + "'/></svg>");
}

// A prepared home with the icon theme and capture helpers of these tests.
class DesktopHome : public PreparedHome {
protected:
    void PrepareIconTheme() {
        const fs::path theme = home / ".local/share/icons/TestTheme";
        Write(theme / "index.theme",
              "[Icon Theme]\nName=TestTheme\nInherits=hicolor\n"
              "Directories=48x48/places,48x48/mimetypes,scalable/apps\n"
              "[48x48/places]\nSize=48\nType=Fixed\n"
              "[48x48/mimetypes]\nSize=48\nType=Fixed\n"
              "[scalable/apps]\nSize=48\nMinSize=8\nMaxSize=512\nType=Scalable\n");
        WritePng(theme / "48x48/places/folder.png", 48, {200, 30, 30, 255});
        WritePng(theme / "48x48/mimetypes/text-x-generic.png", 48, {30, 30, 200, 255});
        WriteSvg(theme / "scalable/apps/test-editor.svg", "#00ff00");
        // An icon the theme has but whose file is broken.
        Write(theme / "48x48/mimetypes/image-png.png", "not a png at all");
        Write(home / ".config/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=TestTheme\n");
    }
};

using XdgDesktop = DesktopHome;

TEST_F(XdgDesktop, MirrorsTheUsersDesktopFolderWithNamesIconsAndGridPositions) {
    PrepareIconTheme();
    Write(home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    const fs::path desktop = home / "Bureau";
    fs::create_directories(desktop / "Projects");
    Write(desktop / "notes.txt", "hello");
    Write(desktop / "editor.desktop",
          "[Desktop Entry]\nType=Application\nName=Editor\nName[fr]=\xC3\x89" "diteur\nIcon=test-editor\n"
          "Exec=touch " + (home / "ran").string() + "\n");
    Write(desktop / ".hidden-notes.txt", "hidden");
    Write(desktop / "draft.txt~", "backup");
    WritePng(desktop / "photo.png", 4, {1, 2, 3, 255});

    const std::vector<std::string> lines = Lines(InChild(CaptureLines, {{"LANGUAGE", "fr"}}));
    // Folders first, then by name (code point order in C.UTF-8); columns of 48 px icons from the
    // top-left corner.
    ASSERT_EQ(lines.size(), 4u) << testing::PrintToString(lines);
    EXPECT_EQ(lines[0], "Projects|36|20|48|48|200,30,30,255");
    EXPECT_EQ(lines[1], "notes.txt|36|116|48|48|30,30,200,255");
    // The theme's image-png icon does not decode: the item still shows, with a generic page.
    EXPECT_EQ(lines[2], "photo.png|36|212|48|48|245,245,245,255");
    EXPECT_EQ(lines[3], "\xC3\x89" "diteur|36|308|48|48|0,255,0,255");
    EXPECT_FALSE(fs::exists(home / "ran")) << "a desktop entry was run";
}

TEST_F(XdgDesktop, SurvivesHostileItems) {
    PrepareIconTheme();
    const fs::path desktop = home / "Desktop";
    fs::create_directories(desktop);
    Write(desktop / "garbage.desktop", std::string("\x00\xff[[[\n=====\n", 12));
    Write(desktop / "nameless.desktop", "[Desktop Entry]\nType=Application\nIcon=/no/such/icon.png\n");
    Write(desktop / "zero-icon.desktop", "[Desktop Entry]\nName=Zero\nIcon=" + (home / "empty.png").string() + "\n");
    Write(home / "empty.png", "");
    Write(desktop / "dev-icon.desktop", "[Desktop Entry]\nName=Device\nIcon=/dev/zero\n");
    Write(desktop / "twin-a.desktop", "[Desktop Entry]\nName=Twin\nIcon=folder\n");
    Write(desktop / "twin-b.desktop", "[Desktop Entry]\nName=Twin\nIcon=test-editor\n");
    fs::create_symlink(home / "nowhere", desktop / "broken link");
    fs::create_symlink(desktop / "loop b", desktop / "loop a");
    fs::create_symlink(desktop / "loop a", desktop / "loop b");
    Write(desktop / std::string("bad-\xff\xfe-name.txt"), "x");
    Write(desktop / (std::string(251, 'n') + ".txt"), "x");
    Write(desktop / "smile \xF0\x9F\x98\x80.txt", "x");
    Write(desktop / "locked.txt", "x");
    fs::permissions(desktop / "locked.txt", fs::perms::none);

    const std::vector<std::string> lines = Lines(InChild(CaptureLines));
    ASSERT_EQ(lines.size(), 13u) << testing::PrintToString(lines);
    std::map<std::string, int> seen;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("no pixels"), std::string::npos) << line;
        seen[line.substr(0, line.find('|'))]++;
    }
    EXPECT_EQ(seen["garbage.desktop"], 1);
    EXPECT_EQ(seen["nameless.desktop"], 1);
    EXPECT_EQ(seen["Zero"], 1);
    EXPECT_EQ(seen["Device"], 1);
    EXPECT_EQ(seen["Twin"], 2);
    EXPECT_EQ(seen["smile \xF0\x9F\x98\x80.txt"], 1);
    EXPECT_EQ(seen["bad-\xEF\xBF\xBD\xEF\xBF\xBD-name.txt"], 1) << "invalid bytes shown as replacement characters";
    EXPECT_EQ(seen[std::string(251, 'n') + ".txt"], 1);
    // Each twin keeps its own image: the view names its folder item, so the name does not pair them.
    std::set<std::string> twins;
    for (const std::string& line : lines)
        if (line.rfind("Twin|", 0) == 0) twins.insert(line.substr(line.rfind('|')));
    EXPECT_EQ(twins, (std::set<std::string>{"|200,30,30,255", "|0,255,0,255"}));
}

TEST_F(XdgDesktop, AMissingDesktopIsEmptyAndAnUnreadableOneFails) {
    EXPECT_EQ(InChild(CaptureLines), "");
    Write(home / "Desktop", "a file where the folder should be");
    EXPECT_EQ(InChild(CaptureLines), "FAILED");
}

// Special files where settings are expected: a FIFO, a device, a /proc file. Each is passed
// over (it would block, or stream without end, if read); the desktop still shows.
TEST_F(XdgDesktop, SpecialFilesWhereSettingsAreExpectedNeitherHangNorBloat) {
    PrepareIconTheme();
    Write(home / "Desktop/notes.txt", "notes");
    Write(home / "Desktop/.secret", "hidden by its name");
    ASSERT_EQ(mkfifo((home / "Desktop/.hidden").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((home / "Desktop/Launcher.desktop").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((home / ".config/user-dirs.dirs").c_str(), 0644), 0);
    fs::remove(home / ".config/gtk-3.0/settings.ini");
    ASSERT_EQ(mkfifo((home / ".config/gtk-3.0/settings.ini").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", home / ".config/kdeglobals");
    fs::create_directories(home / ".config/xfce4/xfconf/xfce-perchannel-xml");
    fs::create_symlink("/proc/self/status", home / ".config/xfce4/xfconf/xfce-perchannel-xml/xsettings.xml");
    // dconf's own database, which dconf opens itself (the desktop's settings store when none is named).
    fs::create_directories(home / ".config/dconf");
    ASSERT_EQ(mkfifo((home / ".config/dconf/user").c_str(), 0644), 0);
    const std::vector<std::string> lines =
        Lines(InChild(CaptureLines, {{"GSETTINGS_BACKEND", ""}, {"XDG_CURRENT_DESKTOP", "GNOME"}}));
    ASSERT_EQ(lines.size(), 0u) << "plain GNOME shows no icons";
    const std::vector<std::string> plain = Lines(InChild(CaptureLines, {{"GSETTINGS_BACKEND", ""}}));
    ASSERT_EQ(plain.size(), 2u) << "the FIFO launcher and the two files";
    EXPECT_EQ(plain[0].substr(0, 18), "Launcher.desktop|3");  // a launcher that cannot be read shows its name
    EXPECT_EQ(plain[1].substr(0, 10), "notes.txt|");
}

TEST_F(XdgDesktop, AnIconThemeNamedDotDotIsNoFolder) {
    Write(home / "Desktop/notes.txt", "notes");
    // ".." would name the folder above the icon folders; the default theme is used instead.
    Write(home / ".config/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=..\n");
    Write(home / ".local/share/icons/index.theme", "[Icon Theme]\nName=Above\nDirectories=48\n[48]\nSize=48\n");
    const std::vector<std::string> lines = Lines(InChild(CaptureLines));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 10), "notes.txt|");
    EXPECT_EQ(InChild([] { return XdgIconThemeName(); }), "Adwaita");
}

// Icon names that lead to one file through links make one image, decoded once.
TEST_F(XdgDesktop, ManyLinksToOneIconAreOneImage) {
    WritePng(home / "icons/big.png", 64, {9, 9, 9, 255});
    for (int i = 0; i < 40; ++i) {
        fs::create_symlink(home / "icons/big.png", home / ("icons/link" + std::to_string(i) + ".png"));
        Write(home / ("Desktop/l" + std::to_string(i) + ".desktop"),
              "[Desktop Entry]\nType=Link\nName=L" + std::to_string(i) + "\nIcon=" + (home / "icons").string() +
                  "/link" + std::to_string(i) + ".png\n");
    }
    const std::string images = InChild([] {
        auto shell = CreateDesktopShell();
        if (!shell->OpenDesktopView() || !shell->OpenDesktopFolder() || !shell->OpenImageList()) return std::string("FAILED");
        std::set<std::int32_t> distinct;
        for (std::int32_t i = 0; i < shell->FolderItemCount(); ++i) distinct.insert(shell->FolderItemAt(i).iconIndex);
        return std::to_string(shell->FolderItemCount()) + " items, " + std::to_string(distinct.size()) + " image";
    });
    EXPECT_EQ(images, "40 items, 1 image");
}

// An icon file in a format icons never come in (an animated GIF here, which could unfold into
// far more memory than its bytes) is not decoded: the item shows the generic image.
TEST_F(XdgDesktop, IconsComeOnlyInIconFormats) {
    fs::create_directories(home / "icons");
    RunTool({"convert", "-size", "48x48", "xc:red", (home / "icons/red.gif").string()});
    RunTool({"convert", "-size", "48x48", "xc:red", (home / "icons/red.png").string()});
    Write(home / "Desktop/gif.desktop", "[Desktop Entry]\nType=Link\nName=Gif\nIcon=" + (home / "icons/red.gif").string() + "\n");
    Write(home / "Desktop/png.desktop", "[Desktop Entry]\nType=Link\nName=Png\nIcon=" + (home / "icons/red.png").string() + "\n");
    const std::vector<std::string> lines = Lines(InChild(CaptureLines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 4) + lines[0].substr(lines[0].rfind('|')), "Gif||245,245,245,255");
    EXPECT_EQ(lines[1].substr(0, 4) + lines[1].substr(lines[1].rfind('|')), "Png||255,0,0,255");
}

TEST(XdgDisplayNames, AreCutTo259CodeUnits) {
    EXPECT_EQ(DisplayNameToUtf16(std::string(300, 'a')).size(), 259u);
    EXPECT_EQ(DisplayNameToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(DisplayNameToUtf16("a\xffz"), u"a\uFFFDz");
}

}  // namespace

#endif  // __linux__
