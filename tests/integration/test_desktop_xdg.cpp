// The Linux desktop shell against prepared home directories: which items the desktop shows with
// which names, icons and positions.
#ifdef __linux__

#include "desktop/desktop_capture.h"
#include "desktop/wallpaper_image.h"
#include "desktop/xdg/desktop_folder.h"
#include "desktop/xdg/desktop_reader.h"
#include "desktop/xdg/image_files.h"
#include "tests/support/prepared_home.h"

#include <glib.h>
// This program writes the test images; the unit tests link their own copy.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#include <gtest/gtest.h>

#include <gio/gio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

// A /proc file reports itself a regular file of size 0, then streams without end (pagemap: some
// gigabytes). Where user-dirs.dirs or the folder's .hidden list is one, it is read no further than
// a settings file's limit (GLib, asked to read them, took 2 GiB), and the desktop still shows.
TEST_F(XdgDesktop, ProcFilesThatClaimNoSizeAreNotReadToTheirEnd) {
    Write(home / "Desktop/notes.txt", "notes");
    fs::create_directories(home / ".config");
    fs::create_symlink("/proc/self/pagemap", home / ".config/user-dirs.dirs");
    fs::create_symlink("/proc/self/pagemap", home / "Desktop/.hidden");
    const std::string result = InChild([] {
        const std::string lines = CaptureLines();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return lines + (usage.ru_maxrss < (300 << 10) ? "small" : "large");
    });
    EXPECT_EQ(result.substr(0, 10), "notes.txt|");
    EXPECT_EQ(result.substr(result.size() - 5), "small");
}

TEST(XdgUserDirs, AreReadAsGlibReadsThem) {
    const std::string home = "/home/u";
    EXPECT_EQ(UserDirectory("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "DESKTOP", home), "/home/u/Bureau");
    EXPECT_EQ(UserDirectory("  XDG_DESKTOP_DIR = \"/srv/desk/\"  # moved\n", "DESKTOP", home), "/srv/desk");
    // The last line counts; other keys, relative paths and unquoted values do not.
    EXPECT_EQ(UserDirectory("XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n", "DESKTOP", home), "/home/u/b");
    EXPECT_EQ(UserDirectory("XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", "DESKTOP", home), "");
    EXPECT_EQ(UserDirectory("XDG_DESKTOP_DIR=\"Desktop\"\nXDG_DESKTOP_DIR=$HOME/x\n", "DESKTOP", home), "");
    EXPECT_EQ(UserDirectory("XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", "DOCUMENTS", home), "/home/u/Docs");
    // To the last quote of the line, as GLib takes it.
    EXPECT_EQ(UserDirectory("XDG_DESKTOP_DIR=\"$HOME/My \"Desk\"\"\n", "DESKTOP", home), "/home/u/My \"Desk\"");
    EXPECT_EQ(UserDirectory("XDG_DESKTOP_DIR=\"$HOME\"\n", "DESKTOP", home), "/home/u");
    EXPECT_EQ(UserDirectory(std::string("XDG_DESKTOP_DIR=\"/a\0b\"\n", 22), "DESKTOP", home), "");
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
        DesktopReader reader;
        const DesktopSnapshot head = reader.ReadHead(CurrentDesktopSession());
        std::set<std::int32_t> distinct;
        for (const SnapshotItem& item : head.items) distinct.insert(item.imageIndex);
        return std::to_string(head.items.size()) + " items, " + std::to_string(distinct.size()) + " image, " +
               std::to_string(reader.ImageCount()) + " to decode";
    });
    EXPECT_EQ(images, "40 items, 1 image, 1 to decode");
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

// ---- Pictures that would cost the show more than they are worth ----

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string BigEndian(std::uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    return BigEndian(static_cast<std::uint32_t>(data.size())) + type + data + BigEndian(Crc32(type + data));
}

// A one-bit grey PNG of width x height black pixels: a few dozen kilobytes that a loader turns
// into width x height x 4 bytes.
std::string PngBomb(std::uint32_t width, std::uint32_t height) {
    GConverter* compressor = G_CONVERTER(g_zlib_compressor_new(G_ZLIB_COMPRESSOR_FORMAT_ZLIB, 9));
    const std::string row(1 + (width + 7) / 8, '\0');
    std::string compressed;
    std::vector<char> out(1 << 16);
    for (std::uint32_t y = 0; y <= height; ++y) {
        const bool last = y == height;
        const std::string in = last ? std::string() : row;
        gsize read = 0, written = 0;
        std::size_t offset = 0;
        GConverterResult result;
        do {
            result = g_converter_convert(compressor, in.data() + offset, in.size() - offset, out.data(), out.size(),
                                         last ? G_CONVERTER_INPUT_AT_END : G_CONVERTER_NO_FLAGS, &read, &written, nullptr);
            offset += read;
            compressed.append(out.data(), written);
        } while (result != G_CONVERTER_ERROR && (offset < in.size() || (last && result != G_CONVERTER_FINISHED)));
    }
    g_object_unref(compressor);
    const std::string header = BigEndian(width) + BigEndian(height) + std::string("\x01\x00\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", compressed) +
           PngChunk("IEND", "");
}

// 29 bytes of GIF whose one frame is 65535 x 65535 pixels: 16 GiB to a loader that believes it.
std::string GifBomb() {
    return std::string("GIF89a\xff\xff\xff\xff\x00\x00\x00"
                       "\x2c\x00\x00\x00\x00\xff\xff\xff\xff\x00"
                       "\x02\x02\x2c\x00\x00\x3b",
                       29);
}

// An SVG whose noise filter takes longer than anyone would wait: a million octaves a pixel.
const char* EndlessSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='1920' height='1080'><filter id='f' x='0' y='0' width='1' "
    "height='1'><feTurbulence baseFrequency='0.001' numOctaves='1000000'/></filter><rect width='1920' "
    "height='1080' filter='url(#f)'/></svg>";

std::string SvgAround(const std::string& png) {
    gchar* base64 = g_base64_encode(reinterpret_cast<const guchar*>(png.data()), png.size());
    std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='48' "
                      "height='48'><image width='48' height='48' xlink:href='data:image/png;base64," +
                      std::string(base64) + "'/></svg>";
    g_free(base64);
    return svg;
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each of these wallpapers and icons once hung the show, or took gigabytes, or both. Now each
// costs at most its decoding child's deadline and memory: the backdrop shows its colour, the
// item its generic page, and this process stays small. A plain SVG still decodes.
TEST_F(XdgDesktop, HostilePicturesCostTheirDecodingChildNotTheShow) {
    Write(home / "pictures/endless.svg", EndlessSvg);
    Write(home / "pictures/gif-bomb.gif", GifBomb());
    Write(home / "pictures/raster-bomb.svg", SvgAround(PngBomb(20000, 20000)));
    Write(home / "pictures/plain.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'>"
                                       "<rect width='4' height='4' fill='#00ff00'/></svg>");
    const std::string wallpapers = InChild([&] {
        std::ostringstream out;
        for (const char* name : {"endless.svg", "gif-bomb.gif", "raster-bomb.svg", "plain.svg"}) {
            WallpaperPixels pixels;
            const double seconds = Seconds([&] {
                pixels = LoadWallpaperPixels((home / "pictures" / name).string(), DecodeWithPlatform, 4096, 320, 200,
                                             Backdrop(Color{0, 0, 1}));
            });
            const unsigned char* centre =
                pixels.data + (pixels.height / 2) * AlignedRgbRowBytes(pixels.width) + (pixels.width / 2) * 3;
            out << name << ' ' << int(centre[0]) << ',' << int(centre[1]) << ',' << int(centre[2])
                << (seconds < 6.0 ? " in time" : " late") << '\n';
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        out << (usage.ru_maxrss < (400 << 10) ? "small" : "large: " + std::to_string(usage.ru_maxrss >> 10) + " MiB");
        return out.str();
    });
    // (The raster bomb's SVG may still come back, drawn without its raster: transparent.)
    EXPECT_EQ(wallpapers,
              "endless.svg 0,0,255 in time\ngif-bomb.gif 0,0,255 in time\nraster-bomb.svg 0,0,255 in time\n"
              "plain.svg 0,255,0 in time\nsmall");

    // The same files as launcher icons (the GIF under a PNG's name).
    fs::copy_file(home / "pictures/gif-bomb.gif", home / "pictures/gif-bomb.png");
    for (const char* name : {"endless.svg", "gif-bomb.png", "raster-bomb.svg", "plain.svg"})
        Write(home / "Desktop" / (std::string(name) + ".desktop"),
              "[Desktop Entry]\nType=Link\nName=" + std::string(name) + "\nIcon=" + (home / "pictures" / name).string() + "\n");
    const std::vector<std::string> lines = Lines(InChild(CaptureLines));
    ASSERT_EQ(lines.size(), 4u) << testing::PrintToString(lines);
    std::map<std::string, std::string> centres;
    for (const std::string& line : lines) centres[line.substr(0, line.find('|'))] = line.substr(line.rfind('|') + 1);
    EXPECT_EQ(centres["endless.svg"], "245,245,245,255");
    EXPECT_EQ(centres["gif-bomb.png"], "245,245,245,255");
    EXPECT_NE(centres["raster-bomb.svg"], "0,0,0,255") << "the raster's own pixels";
    EXPECT_EQ(centres["plain.svg"], "0,255,0,255");
}

// However slowly the icons decode and however many files the folder holds, the desktop is read
// within its time: icons not decoded by then show the generic page, and no more than 4,096
// items are listed.
TEST_F(XdgDesktop, ADesktopThatTakesTooLongToReadStartsWithWhatWasRead) {
    for (int i = 0; i < 30; ++i) {
        // Each its own file, so no decoded image is shared.
        Write(home / "pictures" / ("endless" + std::to_string(i) + ".svg"), std::string(EndlessSvg) + "<!--" + std::to_string(i) + "-->");
        Write(home / "Desktop" / ("slow" + std::to_string(i) + ".desktop"),
              "[Desktop Entry]\nType=Link\nName=Slow " + std::to_string(i) + "\nIcon=" +
                  (home / "pictures" / ("endless" + std::to_string(i) + ".svg")).string() + "\n");
    }
    std::vector<std::string> lines;
    const double seconds = Seconds([&] { lines = Lines(InChild(CaptureLines)); });
    ASSERT_EQ(lines.size(), 30u);
    for (const std::string& line : lines) EXPECT_EQ(line.substr(line.rfind('|') + 1), "245,245,245,255") << line;
    // Thirty deadlines of half a second each would be fifteen seconds; the desktop's own is 1.5.
    EXPECT_LT(seconds, 8.0);

    fs::remove_all(home / "Desktop");
    fs::create_directories(home / "Desktop");
    for (int i = 0; i < 5000; ++i) std::ofstream(home / "Desktop" / ("f" + std::to_string(i) + ".txt"));
    const std::string count = InChild([] {
        const auto items = ReadDesktopFolder(XdgDesktopDirectory());
        return items ? std::to_string(items->size()) : std::string("FAILED");
    });
    EXPECT_EQ(count, "4096");
}

// Files the libraries open themselves while the desktop is read (GLib's MIME database and its
// settings schemas, fontconfig's configuration): a FIFO in any of them once hung the capture for
// good. Now the reading child waits on it instead, and the capture goes on, in time, without it.
TEST_F(XdgDesktop, LibrariesThatOpenTheirOwnFilesCannotHangTheReading) {
    Write(home / "Desktop/notes.txt", "notes");
    for (const char* relative : {".local/share/mime/globs2", ".local/share/glib-2.0/schemas/gschemas.compiled",
                                 ".config/fontconfig/fonts.conf"}) {
        fs::create_directories((home / relative).parent_path());
        ASSERT_EQ(mkfifo((home / relative).c_str(), 0644), 0);
    }
    for (const char* desktop : {"", "GNOME", "LXDE"}) {
        std::string lines;
        const double seconds = Seconds([&] { lines = InChild(CaptureLines, {{"XDG_CURRENT_DESKTOP", desktop}}); });
        EXPECT_NE(lines, "FAILED") << desktop;
        EXPECT_LT(seconds, 8.0) << desktop;
    }
}

TEST(XdgDisplayNames, AreCutTo259CodeUnits) {
    EXPECT_EQ(DisplayNameToUtf16(std::string(300, 'a')).size(), 259u);
    EXPECT_EQ(DisplayNameToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(DisplayNameToUtf16("a\xffz"), u"a\uFFFDz");
}

}  // namespace

#endif  // __linux__
