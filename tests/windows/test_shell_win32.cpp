// The Win32 desktop shell against a real shell (Wine's under test): desktop folder items with
// their names and icon indices, icons from the extra-large image list as RGBA with straight alpha
// at the size the DPI gives, GDI capture of icons with and without an alpha channel, the
// wallpaper setting under any name, and the whole capture.
#include "desktop/desktop_capture.h"
#include "desktop/win32/desktop_shell.h"
#include "desktop/wallpaper_image.h"
#include "desktop/win32/icon_alpha.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <commoncontrols.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
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

// An icon of a colour bitmap and a mask; the icon keeps copies of both, which are deleted here.
HICON AssembleIcon(HBITMAP color, HBITMAP mask) {
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
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
    return AssembleIcon(color, CreateBitmap(width, height, 1, 1, nullptr));
}

// The extra-large image list's side at the system DPI: 48 px at 96 DPI.
int ExtraLargeSide() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(48, dpi, 96);
}

// An icon without an alpha channel: a 24-bit colour bitmap (top-down 0xRRGGBB pixels) and a 1-bit
// mask, one byte a row, whose set bits mark the transparent pixels.
HICON MakeMaskedIcon(int width, int height, const std::vector<std::uint32_t>& rgb, const std::vector<unsigned char>& maskRows) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (color == nullptr) return nullptr;
    const int stride = (width * 3 + 3) / 4 * 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto* pixel = static_cast<unsigned char*>(bits) + y * stride + x * 3;
            const std::uint32_t value = rgb[y * width + x];
            pixel[0] = value & 0xFF;
            pixel[1] = (value >> 8) & 0xFF;
            pixel[2] = (value >> 16) & 0xFF;
        }
    }
    std::vector<unsigned char> maskBits;  // rows padded to 16 bits, as CreateBitmap wants them
    for (unsigned char row : maskRows) maskBits.insert(maskBits.end(), {row, 0});
    return AssembleIcon(color, CreateBitmap(width, height, 1, 1, maskBits.data()));
}

std::vector<unsigned char> Capture(DesktopShell& shell, HICON icon, std::int32_t& width, std::int32_t& height) {
    return shell.CaptureIconPixels(reinterpret_cast<IconHandle>(icon), width, height);
}

std::vector<unsigned char> PixelAt(const std::vector<unsigned char>& rgba, int width, int x, int y) {
    const auto at = rgba.begin() + (static_cast<std::ptrdiff_t>(y) * width + x) * 4;
    return {at, at + 4};
}

// A 24-bit BMP whose top half is top and bottom half bottom (0xRRGGBB).
void WriteBmp(const std::wstring& path, int width, int height, std::uint32_t top, std::uint32_t bottom) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<unsigned char> file(54 + static_cast<std::size_t>(stride) * height, 0);
    auto put32 = [&file](std::size_t at, std::uint32_t value) { std::memcpy(&file[at], &value, 4); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);  // bottom-up
    file[26] = 1;
    file[28] = 24;
    for (int row = 0; row < height; ++row) {
        const std::uint32_t color = (height - 1 - row) < height / 2 ? top : bottom;
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = &file[54 + static_cast<std::size_t>(row) * stride + x * 3];
            pixel[0] = color & 0xFF;
            pixel[1] = (color >> 8) & 0xFF;
            pixel[2] = (color >> 16) & 0xFF;
        }
    }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(handle);
}

std::wstring TempDirectory() {
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return directory;
}

std::string Utf8(const std::wstring& text) {
    std::string result(static_cast<std::size_t>(text.size()) * 3 + 1, '\0');
    result.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(),
                                                               static_cast<int>(result.size()), nullptr, nullptr)) - 1);
    return result;
}

// Where Windows keeps the decoded copy of the current wallpaper.
std::wstring TranscodedWallpaper() {
    wchar_t roaming[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming);
    return std::wstring(roaming) + L"\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
}

// The top-left and bottom-left pixels of a wallpaper as the background would upload it; none when
// the path gives no image.
std::optional<std::pair<std::uint32_t, std::uint32_t>> WallpaperCorners(const std::string& path) {
    const WallpaperPixels pixels = LoadWallpaperPixels(path, DecodeWithPlatform, 4096, 1920, 1080, Backdrop(Color{0, 0, 0}));
    if (!pixels.fromImage || pixels.data == nullptr) return std::nullopt;
    auto rgb = [&pixels](std::size_t at) {
        return static_cast<std::uint32_t>(pixels.data[at] << 16 | pixels.data[at + 1] << 8 | pixels.data[at + 2]);
    };
    return std::make_pair(rgb(0), rgb(AlignedRgbRowBytes(pixels.width) * (pixels.height - 1)));
}

std::string TempFilePath(const char* name) {
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + name;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
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

    const int side = ExtraLargeSide();
    const ShellIcon icon = shell->IconAt(projects->iconIndex);
    ASSERT_NE(icon.icon, nullptr);
    EXPECT_EQ(icon.width, side);
    EXPECT_EQ(icon.height, side);

    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::vector<unsigned char> pixels = shell->CaptureIconPixels(icon.icon, width, height);
    shell->DestroyIcon(icon.icon);
    ASSERT_EQ(width, side);
    ASSERT_EQ(height, side);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(side * side * 4));
    int transparent = 0, opaque = 0, coloured = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i + 3] == 0) ++transparent;
        if (pixels[i + 3] == 255) ++opaque;
        if (pixels[i + 3] != 0 && pixels[i] + pixels[i + 1] + pixels[i + 2] > 0) ++coloured;
    }
    // A folder image does not fill its square: the corners show the wallpaper.
    EXPECT_GT(transparent, side * 2);
    EXPECT_GT(opaque, side * 4);
    EXPECT_GT(coloured, side * 4);
}

// Wine reads the system DPI when a process starts: the check runs in a child started at 144 DPI.
TEST_F(Win32Shell, CapturedIconsFollowTheSystemDpi) {
    const wchar_t* const desktopKey = L"Control Panel\\Desktop";
    const DWORD highDpi = 144;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, desktopKey, L"LogPixels", REG_DWORD, &highDpi, sizeof highDpi), ERROR_SUCCESS);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=HighDpi.* --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    DWORD code = 1;
    if (started) {
        WaitForSingleObject(child.hProcess, 120000);
        GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, desktopKey, L"LogPixels");
    ASSERT_TRUE(started);
    EXPECT_EQ(code, 0u) << "the capture at 144 DPI failed (its output is above)";
}

TEST(HighDpi, DISABLED_FolderIconsAreCapturedAtOneAndAHalfTimesTheSize) {
    ASSERT_EQ(ExtraLargeSide(), 72) << "not started at 144 DPI";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        std::unique_ptr<DesktopShell> shell = CreateDesktopShell();
        PrepareDesktop();
        ASSERT_TRUE(shell->OpenDesktopFolder());
        ASSERT_TRUE(shell->OpenImageList());
        const ShellFolderItem* projects = Named(FolderItems(*shell), u"Gravefall Projects");
        ASSERT_NE(projects, nullptr);
        const ShellIcon icon = shell->IconAt(projects->iconIndex);
        std::int32_t width = 0;
        std::int32_t height = 0;
        const std::vector<unsigned char> pixels = shell->CaptureIconPixels(icon.icon, width, height);
        shell->DestroyIcon(icon.icon);
        EXPECT_EQ(icon.width, 72);
        EXPECT_EQ(width, 72);
        EXPECT_EQ(height, 72);
        EXPECT_EQ(pixels.size(), 72u * 72u * 4u);
    }
    CoUninitialize();
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

// GDI draws alpha icons premultiplied; the texture must hold the colour itself. Colours 0 and 255,
// and 150 at alpha 85, premultiply without rounding, so they must come back exactly.
TEST_F(Win32Shell, HalfTransparentPixelsComeOutWithStraightAlpha) {
    HICON icon = MakeIcon(2, 2, {0x800000FF, 0x33FFFFFF, 0x55000096, 0xFF00FF00});
    ASSERT_NE(icon, nullptr);
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::vector<unsigned char> pixels = Capture(*shell, icon, width, height);
    DestroyIcon(icon);
    const std::vector<unsigned char> expected = {0, 0, 255, 128, 255, 255, 255, 51, 0, 0, 150, 85, 0, 255, 0, 255};
    EXPECT_EQ(pixels, expected);
}

TEST(IconAlpha, UnpremultiplyingRoundsToTheNearestValueAndClamps) {
    // B, G, R, A: halves round up, a colour above its alpha clamps, alpha 0 is transparent black,
    // opaque pixels stay as they are.
    std::vector<unsigned char> pixels = {1, 100, 200, 2, 1, 2, 3, 3, 9, 9, 9, 0, 10, 20, 30, 255};
    UnpremultiplyAlpha(pixels.data(), pixels.size());
    EXPECT_EQ(pixels, (std::vector<unsigned char>{128, 255, 255, 2, 85, 170, 255, 3, 0, 0, 0, 0, 10, 20, 30, 255}));

    // White in the mask is transparent whatever the colour; black keeps the colour, opaque.
    std::vector<unsigned char> masked = {10, 20, 30, 0, 40, 50, 60, 7};
    const std::vector<unsigned char> mask = {255, 255, 255, 0, 0, 0, 0, 0};
    ApplyMaskAlpha(masked.data(), mask.data(), masked.size());
    EXPECT_EQ(masked, (std::vector<unsigned char>{0, 0, 0, 0, 40, 50, 60, 255}));
}

// Icons made before alpha channels (a 0RGB image and a mask) show through their mask, as Windows
// draws them: drawn on their own, and as an image-list entry without ILIF_ALPHA.
TEST_F(Win32Shell, IconsWithoutAlphaTakeTheirAlphaFromTheMask) {
    // Red, green / blue, white; the top-left pixel is masked out.
    HICON icon = MakeMaskedIcon(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {0x80, 0x00});
    ASSERT_NE(icon, nullptr);
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::vector<unsigned char> pixels = Capture(*shell, icon, width, height);
    EXPECT_EQ(pixels, (std::vector<unsigned char>{0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}));

    ASSERT_TRUE(shell->OpenImageList());
    IImageList* list = nullptr;
    ASSERT_EQ(SHGetImageList(SHIL_EXTRALARGE, __uuidof(IImageList), reinterpret_cast<void**>(&list)), S_OK);
    int index = -1;
    ASSERT_EQ(list->ReplaceIcon(-1, icon, &index), S_OK);
    DWORD flags = ILIF_ALPHA;
    EXPECT_EQ(list->GetItemFlags(index, &flags), S_OK);
    EXPECT_EQ(flags & ILIF_ALPHA, 0u);
    list->Release();
    DestroyIcon(icon);

    const ShellIcon listed = shell->IconAt(index);
    ASSERT_NE(listed.icon, nullptr);
    const std::vector<unsigned char> scaled = shell->CaptureIconPixels(listed.icon, width, height);
    shell->DestroyIcon(listed.icon);
    ASSERT_EQ(width, ExtraLargeSide());
    const int quarter = width / 4;
    EXPECT_EQ(PixelAt(scaled, width, quarter, quarter), (std::vector<unsigned char>{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(scaled, width, 3 * quarter, quarter), (std::vector<unsigned char>{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(scaled, width, quarter, 3 * quarter), (std::vector<unsigned char>{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(scaled, width, 3 * quarter, 3 * quarter), (std::vector<unsigned char>{255, 255, 255, 255}));
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

// Set as Windows sets it, under a name no single-byte code page can spell: the narrow path still
// opens, through the UTF-8 code page the program's manifest asks for.
TEST_F(Win32Shell, AWallpaperNamedOutsideTheAnsiCodePageOpens) {
    DeleteFileW(TranscodedWallpaper().c_str());  // only the path itself may lead to the picture
    const std::wstring folder = TempDirectory() + L"Gravefall \u041e\u0431\u043e\u0438 \u58c1\u7d19";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\\u0437\u0438\u043c\u0430.bmp";
    WriteBmp(path, 3, 2, 0xFF0000, 0x0000FF);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path.c_str()), SPIF_UPDATEINIFILE));

    const std::string narrow = shell->QueryWallpaperPath();
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(L""), SPIF_UPDATEINIFILE);
    EXPECT_EQ(narrow, Utf8(path));
    EXPECT_EQ(WallpaperCorners(narrow), std::make_pair(0xFF0000u, 0x0000FFu));
    DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
}

// Where the recorded path does not open (here a file gone since it was set), the copy Windows
// keeps of the current wallpaper does.
TEST_F(Win32Shell, AWallpaperThatDoesNotOpenGivesWayToTheSystemsCopy) {
    const std::wstring copy = TranscodedWallpaper();
    SHCreateDirectoryExW(nullptr, copy.substr(0, copy.rfind(L'\\')).c_str(), nullptr);
    WriteBmp(copy, 2, 2, 0x00FF00, 0x00FF00);
    const std::wstring path = TempDirectory() + L"gravefall-wall.bmp";
    WriteBmp(path, 2, 2, 0xFFFF00, 0xFFFF00);
    auto setWallpaper = [](const std::wstring& wallpaper) {
        return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(wallpaper.c_str()), SPIF_UPDATEINIFILE);
    };

    ASSERT_TRUE(setWallpaper(path));
    EXPECT_EQ(shell->QueryWallpaperPath(), Utf8(path));
    DeleteFileW(path.c_str());
    const std::string fallback = shell->QueryWallpaperPath();
    EXPECT_EQ(fallback, Utf8(copy));
    EXPECT_EQ(WallpaperCorners(fallback), std::make_pair(0x00FF00u, 0x00FF00u));
    // No wallpaper is a plain colour desktop, whatever copy is left behind.
    ASSERT_TRUE(setWallpaper(L""));
    EXPECT_EQ(shell->QueryWallpaperPath(), "");
    DeleteFileW(copy.c_str());
}

TEST_F(Win32Shell, PlatformDecoderReadsWhatThePortableOneCannot) {
    const std::string path = TempFilePath("gravefall-test.ico");
    // 4 x 4: the top half red, the bottom half blue, all opaque.
    std::vector<std::uint32_t> bgra(16, 0xFFFF0000);
    std::fill(bgra.begin() + 8, bgra.end(), 0xFF0000FF);
    WriteIco(path, 4, 4, bgra);

    const std::string bytes = ReadFileBytes(path);
    const std::optional<RgbaImage> whole = DecodeWithPlatform(bytes, 100, 100);
    ASSERT_TRUE(whole.has_value());
    ASSERT_EQ(whole->width, 4);
    ASSERT_EQ(whole->height, 4);
    ASSERT_EQ(whole->pixels.size(), 64u);
    EXPECT_EQ(std::vector<unsigned char>(whole->pixels.begin(), whole->pixels.begin() + 4),
              (std::vector<unsigned char>{255, 0, 0, 255}));
    EXPECT_EQ(std::vector<unsigned char>(whole->pixels.end() - 4, whole->pixels.end()),
              (std::vector<unsigned char>{0, 0, 255, 255}));

    // Larger than the box: scaled down, keeping its shape.
    const std::optional<RgbaImage> fitted = DecodeWithPlatform(bytes, 2, 3);
    ASSERT_TRUE(fitted.has_value());
    EXPECT_EQ(fitted->width, 2);
    EXPECT_EQ(fitted->height, 2);

    EXPECT_FALSE(DecodeWithPlatform("not an image at all", 10, 10).has_value());
    EXPECT_FALSE(DecodeWithPlatform("", 10, 10).has_value());
    std::remove(path.c_str());
}

TEST_F(Win32Shell, CaptureOfTheLiveDesktopEndsWithAListOfRealIcons) {
    PrepareDesktop();
    const std::optional<CapturedDesktop> desktop = CaptureDesktop();
    // Wine's desktop view lists no items, so the list may be empty there; whatever is listed
    // must be a real icon with a label.
    ASSERT_TRUE(desktop.has_value());
    for (const DesktopIcon& icon : desktop->icons) {
        EXPECT_FALSE(icon.image.pixels.empty());
        EXPECT_FALSE(icon.label.empty());
    }
    // The desktop's colour is always known on Windows.
    EXPECT_TRUE(desktop->wallpaper.color.has_value());
}

}  // namespace
