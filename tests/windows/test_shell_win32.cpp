// The Win32 desktop shell against a real shell (Wine's under test): desktop folder items with
// their names and icon indices, icons from the extra-large image list as RGBA with real alpha,
// GDI capture of icons with known pixels, the wallpaper setting, and the whole capture.
#include "desktop/desktop_capture.h"
#include "desktop/shell.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Every shell call runs in a single-threaded apartment, as in the program.
class Win32Shell : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override {
        shell.reset();
        CoUninitialize();
    }
    std::unique_ptr<DesktopShell> shell = CreateDesktopShell();
};

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

// Files on the desktop for the folder to list; left there, every run makes the same ones.
void PrepareDesktop() {
    const std::wstring desktop = DesktopDirectory();
    ASSERT_FALSE(desktop.empty());
    CreateDirectoryW((desktop + L"\\Gravefall Projects").c_str(), nullptr);
    HANDLE file = CreateFileW((desktop + L"\\gravefall-notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "notes\r\n", 7, &written, nullptr);
    CloseHandle(file);
}

std::vector<ShellFolderItem> FolderItems(DesktopShell& shell) {
    std::vector<ShellFolderItem> items;
    for (std::int32_t i = 0; i < shell.FolderItemCount(); ++i) items.push_back(shell.FolderItemAt(i));
    return items;
}

const ShellFolderItem* Named(const std::vector<ShellFolderItem>& items, const std::u16string& prefix) {
    for (const ShellFolderItem& item : items) {
        if (item.name.rfind(prefix, 0) == 0) return &item;
    }
    return nullptr;
}

// An icon whose colour bitmap is a 32-bit top-down image of the given BGRA pixels.
HICON MakeIcon(int width, int height, const std::vector<std::uint32_t>& bgra) {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = width;
    header.bV5Height = -height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (color == nullptr) return nullptr;
    std::memcpy(bits, bgra.data(), bgra.size() * 4);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

std::string TempFilePath(const char* name) {
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + name;
}

// A one-image .ico file holding a 32-bit width x height bitmap (bottom-up, as ICO stores it).
void WriteIco(const std::string& path, int width, int height, const std::vector<std::uint32_t>& topDownBgra) {
    std::vector<unsigned char> image;
    auto put16 = [&image](unsigned value) { image.push_back(value & 0xFF); image.push_back((value >> 8) & 0xFF); };
    auto put32 = [&image](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) image.push_back((value >> shift) & 0xFF);
    };
    const std::uint32_t maskRowBytes = ((width + 31) / 32) * 4;
    const std::uint32_t dibBytes = 40 + width * height * 4 + maskRowBytes * height;
    put16(0); put16(1); put16(1);  // reserved, icon, one image
    image.push_back(static_cast<unsigned char>(width));
    image.push_back(static_cast<unsigned char>(height));
    image.push_back(0); image.push_back(0);
    put16(1); put16(32); put32(dibBytes); put32(6 + 16);
    put32(40); put32(width); put32(height * 2); put16(1); put16(32);
    for (int i = 0; i < 6; ++i) put32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) put32(topDownBgra[y * width + x]);
    }
    image.insert(image.end(), maskRowBytes * height, 0);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
}

TEST_F(Win32Shell, DesktopFolderListsItsItemsWithNamesAndIconIndices) {
    PrepareDesktop();
    ASSERT_TRUE(shell->OpenDesktopFolder());
    const std::vector<ShellFolderItem> items = FolderItems(*shell);
    const ShellFolderItem* notes = Named(items, u"gravefall-notes");
    const ShellFolderItem* projects = Named(items, u"Gravefall Projects");
    ASSERT_NE(notes, nullptr);
    ASSERT_NE(projects, nullptr);
    EXPECT_EQ(projects->name, u"Gravefall Projects");
    EXPECT_GE(notes->iconIndex, 0);
    EXPECT_GE(projects->iconIndex, 0);
    // A text file and a folder do not share an image.
    EXPECT_NE(notes->iconIndex, projects->iconIndex);
    // Out-of-range items are empty rather than a crash.
    EXPECT_EQ(shell->FolderItemAt(-1).iconIndex, -1);
    EXPECT_EQ(shell->FolderItemAt(shell->FolderItemCount()).iconIndex, -1);
}

TEST_F(Win32Shell, FolderIconsComeFromTheExtraLargeListAsRgbaWithRealAlpha) {
    PrepareDesktop();
    ASSERT_TRUE(shell->OpenDesktopFolder());
    ASSERT_TRUE(shell->OpenImageList());
    const std::vector<ShellFolderItem> items = FolderItems(*shell);
    const ShellFolderItem* projects = Named(items, u"Gravefall Projects");
    ASSERT_NE(projects, nullptr);

    const ShellIcon icon = shell->IconAt(projects->iconIndex);
    ASSERT_NE(icon.icon, nullptr);
    EXPECT_EQ(icon.width, 48);
    EXPECT_EQ(icon.height, 48);

    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::vector<unsigned char> pixels = shell->CaptureIconPixels(icon.icon, width, height);
    shell->DestroyIcon(icon.icon);
    ASSERT_EQ(width, 48);
    ASSERT_EQ(height, 48);
    ASSERT_EQ(pixels.size(), 48u * 48u * 4u);
    int transparent = 0, opaque = 0, coloured = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i + 3] == 0) ++transparent;
        if (pixels[i + 3] == 255) ++opaque;
        if (pixels[i + 3] != 0 && pixels[i] + pixels[i + 1] + pixels[i + 2] > 0) ++coloured;
    }
    // A folder image does not fill its square: the corners show the wallpaper.
    EXPECT_GT(transparent, 48 * 2);
    EXPECT_GT(opaque, 48 * 4);
    EXPECT_GT(coloured, 48 * 4);
}

TEST_F(Win32Shell, CaptureTurnsBgraIntoRgbaTopRowFirst) {
    // Row 0: opaque blue, opaque red; row 1: transparent, opaque green (BGRA as 0xAARRGGBB).
    HICON icon = MakeIcon(2, 2, {0xFF0000FF, 0xFFFF0000, 0x00000000, 0xFF00FF00});
    ASSERT_NE(icon, nullptr);
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::vector<unsigned char> pixels = shell->CaptureIconPixels(reinterpret_cast<IconHandle>(icon), width, height);
    shell->DestroyIcon(reinterpret_cast<IconHandle>(icon));
    ASSERT_EQ(width, 2);
    ASSERT_EQ(height, 2);
    const std::vector<unsigned char> expected = {0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255};
    EXPECT_EQ(pixels, expected);
}

TEST_F(Win32Shell, IconsThatCannotBeReadGiveNothing) {
    std::int32_t width = 7;
    std::int32_t height = 7;
    EXPECT_TRUE(shell->CaptureIconPixels(nullptr, width, height).empty());
    EXPECT_EQ(width, 7);

    // A monochrome icon has no colour bitmap and so no size of its own.
    const std::vector<unsigned char> andMask(32 * 32 / 8, 0xFF);
    const std::vector<unsigned char> xorMask(32 * 32 / 8, 0x00);
    HICON monochrome = CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask.data(), xorMask.data());
    ASSERT_NE(monochrome, nullptr);
    EXPECT_TRUE(shell->CaptureIconPixels(reinterpret_cast<IconHandle>(monochrome), width, height).empty());
    shell->DestroyIcon(reinterpret_cast<IconHandle>(monochrome));

    ASSERT_TRUE(shell->OpenImageList());
    EXPECT_EQ(shell->IconAt(-1).icon, nullptr);
    EXPECT_EQ(shell->IconAt(1 << 30).icon, nullptr);
    shell->DestroyIcon(nullptr);  // nothing to destroy, and no harm
}

TEST_F(Win32Shell, WallpaperPathComesFromTheDesktopSetting) {
    const std::string path = "C:\\users\\Public\\Pictures\\gravefall wall.png";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", REG_SZ, path.c_str(),
                              static_cast<DWORD>(path.size() + 1)),
              ERROR_SUCCESS);
    EXPECT_EQ(shell->QueryWallpaperPath(), path);
    EXPECT_TRUE(shell->QueryDesktopColor().has_value());
}

TEST_F(Win32Shell, PlatformDecoderReadsWhatThePortableOneCannot) {
    const std::string path = TempFilePath("gravefall-test.ico");
    // 4 x 4: the top half red, the bottom half blue, all opaque.
    std::vector<std::uint32_t> bgra(16, 0xFFFF0000);
    std::fill(bgra.begin() + 8, bgra.end(), 0xFF0000FF);
    WriteIco(path, 4, 4, bgra);

    const std::optional<RgbaImage> whole = shell->DecodeImageFile(path, 100, 100);
    ASSERT_TRUE(whole.has_value());
    ASSERT_EQ(whole->width, 4);
    ASSERT_EQ(whole->height, 4);
    ASSERT_EQ(whole->pixels.size(), 64u);
    EXPECT_EQ(std::vector<unsigned char>(whole->pixels.begin(), whole->pixels.begin() + 4),
              (std::vector<unsigned char>{255, 0, 0, 255}));
    EXPECT_EQ(std::vector<unsigned char>(whole->pixels.end() - 4, whole->pixels.end()),
              (std::vector<unsigned char>{0, 0, 255, 255}));

    // Larger than the box: scaled down, keeping its shape.
    const std::optional<RgbaImage> fitted = shell->DecodeImageFile(path, 2, 3);
    ASSERT_TRUE(fitted.has_value());
    EXPECT_EQ(fitted->width, 2);
    EXPECT_EQ(fitted->height, 2);

    EXPECT_FALSE(shell->DecodeImageFile(TempFilePath("gravefall-missing.png"), 10, 10).has_value());
    EXPECT_FALSE(shell->DecodeImageFile("", 10, 10).has_value());
    std::remove(path.c_str());
}

TEST_F(Win32Shell, CaptureOfTheLiveDesktopEndsWithAListOfRealIcons) {
    PrepareDesktop();
    const std::optional<std::vector<DesktopIcon>> icons = CaptureDesktopIcons(*shell);
    // Wine's desktop view lists no items, so the list may be empty there; whatever is listed
    // must be a real icon with a label.
    ASSERT_TRUE(icons.has_value());
    std::vector<DesktopIcon> captured = *icons;
    for (const DesktopIcon& icon : captured) {
        EXPECT_NE(icon.icon, nullptr);
        EXPECT_FALSE(icon.label.empty());
    }
    ReleaseDesktopIcons(*shell, captured);
    EXPECT_TRUE(captured.empty());
}

}  // namespace
