// The desktop shell seam on Windows: the live desktop view (labels, and positions mapped to the
// screen) through the shell windows collection, the desktop folder's children (names and icon
// indices), icons from the extra-large system image list drawn into a 32-bit DIB and brought to
// straight alpha, and the wallpaper setting.
// Runs on the main thread inside the single-threaded apartment the entry joined. The capture
// hands the mirror data only: every shell object is released before CaptureDesktop returns.
#include "desktop/desktop_capture.h"
#include "desktop/image_pixels.h"
#include "desktop/win32/desktop_shell.h"
#include "desktop/win32/icon_alpha.h"
#include "desktop/win32/view_pairing.h"

#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <commoncontrols.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>

namespace {

// The interface and class ids, spelt out so the build does not depend on which of them the
// toolchain's uuid library happens to carry.
constexpr GUID ClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr GUID IidShellWindows = {0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr GUID IidServiceProvider = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
constexpr GUID SidTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr GUID IidShellBrowser = {0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IidFolderView2 = {0x1AF3A467, 0x214F, 0x4298, {0x90, 0x8E, 0x06, 0xB0, 0x3E, 0x0B, 0x39, 0xF9}};
constexpr GUID IidShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IidEnumIdList = {0x000214F2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IidImageList = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
constexpr GUID ClsidWicImagingFactory = {0xCACAF262, 0x9370, 0x4615, {0xA1, 0x3B, 0x9F, 0x55, 0x39, 0xDA, 0x4C, 0x0A}};
constexpr GUID IidWicImagingFactory = {0xEC5EC8A9, 0xC395, 0x4314, {0x9C, 0x77, 0x54, 0xD7, 0xA9, 0x35, 0xFF, 0x70}};
constexpr GUID WicFormat32bppRgba = {0xF5C7AD2D, 0x6A8D, 0x43DD, {0xA7, 0xA8, 0xA2, 0x99, 0x35, 0x26, 0x1A, 0xE9}};
constexpr GUID WicFormat32bppBgra = {0x6FDDC324, 0x4E03, 0x4BFE, {0xB1, 0x85, 0x3D, 0x77, 0x76, 0x8D, 0xC9, 0x0F}};

constexpr int NameCapacity = 260;  // display names are at most 259 code units
// A path of up to 259 UTF-16 code units takes up to three bytes a unit in the UTF-8 code page
// the manifest asks for.
constexpr int WallpaperPathCapacity = 3 * 260;
// Larger than any icon the system draws; guards the DIB size arithmetic against a broken bitmap.
constexpr LONG MaxIconSide = 4096;

// One owned COM reference, released when it goes out of scope.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    void Reset() {
        if (pointer != nullptr) pointer->Release();
        pointer = nullptr;
    }
    Interface** Out() {
        Reset();
        return &pointer;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    Interface* operator->() const { return pointer; }
    Interface* Get() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

private:
    Interface* pointer = nullptr;
};

IconHandle ToHandle(HICON icon) { return reinterpret_cast<IconHandle>(icon); }
HICON FromHandle(IconHandle icon) { return reinterpret_cast<HICON>(icon); }

std::u16string ToU16(const wchar_t* text) {
    std::u16string result;
    for (; *text != L'\0'; ++text) result.push_back(static_cast<char16_t>(*text));
    return result;
}

// The display name of an item of folder; empty when the folder cannot give it.
std::u16string DisplayName(IShellFolder* folder, PCUITEMID_CHILD item) {
    STRRET name;
    std::memset(&name, 0, sizeof name);
    if (FAILED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &name))) return {};
    wchar_t buffer[NameCapacity] = {};
    // StrRetToBufW frees the name's own allocation whether or not it succeeds.
    if (FAILED(StrRetToBufW(&name, item, buffer, NameCapacity))) return {};
    buffer[NameCapacity - 1] = L'\0';
    return ToU16(buffer);
}

// Width and height of an icon's colour bitmap, 0 x 0 when it cannot be read. Deletes the
// bitmaps GetIconInfo made.
bool ReadIconSize(HICON icon, LONG& width, LONG& height) {
    width = 0;
    height = 0;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    if (info.hbmColor != nullptr) {
        BITMAP bitmap;
        std::memset(&bitmap, 0, sizeof bitmap);
        if (GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) != 0) {
            width = bitmap.bmWidth;
            height = bitmap.bmHeight;
        }
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return true;
}

// The desktop's view: its folder view, the shell folder behind it, and the view's window, whose
// client coordinates the item positions are given in.
struct DesktopView {
    IFolderView2* folderView = nullptr;
    IShellFolder* folder = nullptr;
    HWND window = nullptr;

    DesktopView() = default;
    DesktopView(const DesktopView&) = delete;
    DesktopView& operator=(const DesktopView&) = delete;
    ~DesktopView() {
        if (folder != nullptr) folder->Release();
        if (folderView != nullptr) folderView->Release();
    }
};

// The desktop folder and the item ID lists of its children, in enumeration order.
struct DesktopItems {
    IShellFolder* desktopFolder = nullptr;
    std::vector<PITEMID_CHILD> itemIds;

    DesktopItems() = default;
    DesktopItems(const DesktopItems&) = delete;
    DesktopItems& operator=(const DesktopItems&) = delete;
    ~DesktopItems() {
        for (PITEMID_CHILD item : itemIds) CoTaskMemFree(item);
        if (desktopFolder != nullptr) desktopFolder->Release();
    }
};

// The folder view of the desktop window's active shell view, found through the shell windows
// collection, and the view's window. Every intermediate reference is released whatever the outcome.
HRESULT OpenDesktopFolderView(IFolderView2** folderView, HWND* viewWindow) {
    *folderView = nullptr;
    *viewWindow = nullptr;
    ComRef<IShellWindows> windows;
    HRESULT result = CoCreateInstance(ClsidShellWindows, nullptr, CLSCTX_ALL, IidShellWindows, windows.OutVoid());
    if (FAILED(result)) return result;

    VARIANT location;
    VARIANT root;
    VariantInit(&location);
    VariantInit(&root);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    long window = 0;
    ComRef<IDispatch> dispatch;
    result = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, dispatch.Out());
    VariantClear(&location);
    VariantClear(&root);
    if (FAILED(result)) return result;

    ComRef<IServiceProvider> services;
    if (!dispatch || FAILED(dispatch->QueryInterface(IidServiceProvider, services.OutVoid()))) return E_NOINTERFACE;
    ComRef<IShellBrowser> browser;
    result = services->QueryService(SidTopLevelBrowser, IidShellBrowser, browser.OutVoid());
    if (FAILED(result)) return result;
    ComRef<IShellView> view;
    result = browser->QueryActiveShellView(view.Out());
    if (FAILED(result)) return result;
    if (!view) return E_NOINTERFACE;
    if (FAILED(view->GetWindow(viewWindow))) *viewWindow = nullptr;
    return view->QueryInterface(IidFolderView2, reinterpret_cast<void**>(folderView));
}

// A point in the view window's client coordinates in screen coordinates, where the primary
// monitor's top-left corner is (0, 0). The desktop view spans the virtual screen, whose origin
// lies left of or above the primary monitor when another monitor sits there.
POINT ViewToScreen(HWND viewWindow, POINT point) {
    if (viewWindow != nullptr) {
        SetLastError(ERROR_SUCCESS);
        POINT mapped = point;
        // A zero result is also a zero offset; only the error tells a failure.
        if (MapWindowPoints(viewWindow, HWND_DESKTOP, &mapped, 1) != 0 || GetLastError() == ERROR_SUCCESS) return mapped;
    }
    // Without its window, the view is taken to cover the virtual screen from its origin.
    point.x += GetSystemMetrics(SM_XVIRTUALSCREEN);
    point.y += GetSystemMetrics(SM_YVIRTUALSCREEN);
    return point;
}

// Whether an icon of the given size at this screen position shows at least in part on the
// primary monitor, the one the show covers.
bool OnPrimaryMonitor(POINT position, LONG width, LONG height) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor)) primary = monitor.rcMonitor;
    const RECT icon{position.x, position.y, position.x + std::max<LONG>(width, 1), position.y + std::max<LONG>(height, 1)};
    RECT shared{};
    return IntersectRect(&shared, &icon, &primary) != FALSE;
}

// Whether the user switched "Show desktop icons" off: the desktop then shows none.
bool DesktopIconsHidden() {
    SHELLSTATE state;
    std::memset(&state, 0, sizeof state);
    SHGetSetSettings(&state, SSF_HIDEICONS, FALSE);
    return state.fHideIcons != FALSE;
}

// The view's item number index: its name from the view's folder and its position. Restarts
// the view's enumeration each time, so it always sees the view's current order.
bool ItemAt(const DesktopView& view, std::int32_t index, ShellViewItem& item) {
    if (view.folderView == nullptr || view.folder == nullptr || index < 0) return false;
    ComRef<IEnumIDList> enumerator;
    if (FAILED(view.folderView->Items(SVGIO_ALLVIEW, IidEnumIdList, enumerator.OutVoid())) || !enumerator) return false;

    PITEMID_CHILD child = nullptr;
    for (std::int32_t position = 0;; ++position) {
        child = nullptr;
        if (enumerator->Next(1, &child, nullptr) != S_OK) return false;
        if (position == index) break;
        CoTaskMemFree(child);
    }

    item.name = DisplayName(view.folder, child);
    POINT point{};
    const bool placed = SUCCEEDED(view.folderView->GetItemPosition(child, &point));
    if (placed) {
        point = ViewToScreen(view.window, point);
        item.position = ShellPoint{point.x, point.y};
    }
    CoTaskMemFree(child);
    return placed;
}

// Reads a bitmap as width x height 32-bit B, G, R, A pixels, top row first.
bool ReadBitmapPixels(HDC context, HBITMAP bitmap, LONG width, LONG height, std::vector<unsigned char>& pixels) {
    BITMAPINFO header;
    std::memset(&header, 0, sizeof header);
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return GetDIBits(context, bitmap, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS) == height;
}

class Win32Shell final : public DesktopShell {
public:
    ~Win32Shell() override {
        // Desktop folder items go before the view, as the teardown order has it.
        items.reset();
        view.reset();
    }

    bool OpenDesktopView() override {
        view = std::make_unique<DesktopView>();
        if (FAILED(OpenDesktopFolderView(&view->folderView, &view->window))) return false;
        if (FAILED(view->folderView->GetFolder(IidShellFolder, reinterpret_cast<void**>(&view->folder)))) {
            view->folderView->Release();
            view->folderView = nullptr;
            view->folder = nullptr;
            return false;
        }
        return true;
    }

    bool OpenDesktopFolder() override {
        items = std::make_unique<DesktopItems>();
        if (FAILED(SHGetDesktopFolder(&items->desktopFolder)) || items->desktopFolder == nullptr) return false;
        ComRef<IEnumIDList> enumerator;
        const HRESULT result = items->desktopFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator.Out());
        if (FAILED(result)) return false;
        // S_FALSE without an enumerator is a folder with nothing to list.
        if (!enumerator) return true;
        PITEMID_CHILD child = nullptr;
        while (enumerator->Next(1, &child, nullptr) == S_OK) {
            items->itemIds.push_back(child);
            child = nullptr;
        }
        return true;
    }

    bool OpenImageList() override {
        if (FAILED(SHGetImageList(SHIL_EXTRALARGE, IidImageList, systemImageList.OutVoid())) || !systemImageList) {
            OutputDebugStringW(L"SHGetImageList failed\n");
            return false;
        }
        int width = 0;
        int height = 0;
        if (SUCCEEDED(systemImageList->GetIconSize(&width, &height))) {
            iconWidth = width;
            iconHeight = height;
        }
        return true;
    }

    std::optional<std::int32_t> ViewItemCount() override {
        if (!view || view->folderView == nullptr) return std::nullopt;
        if (DesktopIconsHidden()) return 0;
        int count = 0;
        if (FAILED(view->folderView->ItemCount(SVGIO_ALLVIEW, &count))) return std::nullopt;
        return count;
    }

    // Items whose icon lies wholly off the primary monitor (on another one) are left out: the show
    // covers only the primary one.
    bool ViewItemAt(std::int32_t index, ShellViewItem& item) override {
        if (view == nullptr || !ItemAt(*view, index, item)) return false;
        return OnPrimaryMonitor(POINT{item.position.x, item.position.y}, iconWidth, iconHeight);
    }

    std::int32_t FolderItemCount() override {
        if (!items) return 0;
        return static_cast<std::int32_t>(std::min<std::size_t>(items->itemIds.size(), std::numeric_limits<std::int32_t>::max()));
    }

    ShellFolderItem FolderItemAt(std::int32_t index) override {
        ShellFolderItem result;
        if (!items || items->desktopFolder == nullptr || index < 0 || index >= FolderItemCount()) return result;
        PITEMID_CHILD child = items->itemIds[static_cast<std::size_t>(index)];
        result.name = DisplayName(items->desktopFolder, child);
        SHFILEINFOW info;
        std::memset(&info, 0, sizeof info);
        // The desktop's children are their own absolute item ID lists.
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(child), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX) != 0) {
            result.iconIndex = info.iIcon;
        }
        return result;
    }

    ShellIcon IconAt(std::int32_t iconIndex) override {
        if (!systemImageList || iconIndex < 0) return {};
        HICON listed = nullptr;
        if (FAILED(systemImageList->GetIcon(iconIndex, ILD_NORMAL, &listed)) || listed == nullptr) return {};
        LONG width = 0;
        LONG height = 0;
        ReadIconSize(listed, width, height);
        HICON copy = CopyIcon(listed);
        ::DestroyIcon(listed);
        // An entry without an alpha channel is a 0RGB image meant to be drawn through its mask,
        // whatever its alpha bytes hold.
        DWORD flags = 0;
        if (copy != nullptr && SUCCEEDED(systemImageList->GetItemFlags(iconIndex, &flags)) && (flags & ILIF_ALPHA) == 0) {
            maskedIcons.insert(ToHandle(copy));
        }
        return ShellIcon{ToHandle(copy), width, height};
    }

    std::vector<unsigned char> CaptureIconPixels(IconHandle icon, std::int32_t& width, std::int32_t& height) override {
        if (icon == nullptr) return {};
        ICONINFO info{};
        if (!GetIconInfo(FromHandle(icon), &info)) return {};
        // Deletes the bitmaps GetIconInfo made, on every path out.
        struct IconBitmaps {
            ICONINFO& info;
            ~IconBitmaps() {
                if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
                if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
            }
        } bitmaps{info};

        BITMAP bitmap;
        std::memset(&bitmap, 0, sizeof bitmap);
        // An icon without a colour bitmap has no size of its own to draw at.
        if (info.hbmColor == nullptr || GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) == 0) return {};
        width = bitmap.bmWidth;
        height = bitmap.bmHeight;
        if (width <= 0 || height <= 0 || width > MaxIconSide || height > MaxIconSide) return {};

        BITMAPINFO header;
        std::memset(&header, 0, sizeof header);
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = width;
        header.bmiHeader.biHeight = -height;  // top-down: row 0 is the top row
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;

        HDC context = CreateCompatibleDC(nullptr);
        if (context == nullptr) return {};
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(context, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (section == nullptr || bits == nullptr) {
            if (section != nullptr) DeleteObject(section);
            DeleteDC(context);
            return {};
        }
        HGDIOBJ previous = SelectObject(context, section);

        const std::size_t byteCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        std::memset(bits, 0, byteCount);  // every pixel starts transparent black
        GdiFlush();
        DrawIconEx(context, 0, 0, FromHandle(icon), width, height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const auto* source = static_cast<const unsigned char*>(bits);
        std::vector<unsigned char> pixels(source, source + byteCount);

        if (maskedIcons.count(icon) != 0 || !HasAnyAlpha(pixels.data(), pixels.size())) {
            // No alpha channel: the colour bitmap as it is (the masked drawing where it cannot be
            // read), the alpha from the mask as DI_MASK draws it over white.
            std::vector<unsigned char> colour;
            if (ReadBitmapPixels(context, info.hbmColor, width, height, colour)) pixels = std::move(colour);
            std::memset(bits, 0xFF, byteCount);
            GdiFlush();
            DrawIconEx(context, 0, 0, FromHandle(icon), width, height, 0, nullptr, DI_MASK);
            GdiFlush();
            ApplyMaskAlpha(pixels.data(), source, pixels.size());
            SelectObject(context, previous);
        } else {
            // GDI blends an alpha icon into the bitmap premultiplied; textures hold straight alpha.
            SelectObject(context, previous);
            UnpremultiplyAlpha(pixels.data(), pixels.size());
        }

        DeleteObject(section);
        DeleteDC(context);
        SwapRedAndBlue(pixels.data(), pixels.size());  // B, G, R, A to R, G, B, A
        return pixels;
    }

    void DestroyIcon(IconHandle icon) override {
        if (icon == nullptr) return;
        maskedIcons.erase(icon);
        ::DestroyIcon(FromHandle(icon));
    }

    // The narrow call keeps the system's own path; the manifest's UTF-8 code page lets it carry
    // any character. A path that still does not open (too long, or a code page that cannot
    // spell it) gives way to the copy Windows keeps of the current wallpaper.
    std::string QueryWallpaperPath() override {
        char buffer[WallpaperPathCapacity] = {};
        SystemParametersInfoA(SPI_GETDESKWALLPAPER, WallpaperPathCapacity, buffer, 0);
        std::string path(buffer, strnlen(buffer, WallpaperPathCapacity));
        if (path.empty() || IsFile(path)) return path;
        const std::string transcoded = TranscodedWallpaperPath();
        return transcoded.empty() ? path : transcoded;
    }

    std::optional<Color> QueryDesktopColor() override {
        const DWORD color = GetSysColor(COLOR_DESKTOP);
        return Color{GetRValue(color) / 255.0f, GetGValue(color) / 255.0f, GetBValue(color) / 255.0f};
    }

private:
    static bool IsFile(const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    // %APPDATA%\Microsoft\Windows\Themes\TranscodedWallpaper when it exists, in the narrow
    // code page; empty otherwise.
    static std::string TranscodedWallpaperPath() {
        wchar_t roaming[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming))) return {};
        const std::wstring wide = std::wstring(roaming) + L"\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
        const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
        if (length <= 1) return {};
        std::string narrow(static_cast<std::size_t>(length), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow.data(), length, nullptr, nullptr);
        narrow.resize(static_cast<std::size_t>(length) - 1);
        return IsFile(narrow) ? narrow : std::string();
    }

public:
    // Formats the portable decoder does not know (ICO, TIFF, JPEG XR, ...) through the Windows
    // Imaging Component, from the bytes already read, scaled down to fit the box when larger, as
    // 8-bit RGBA.
    static std::optional<RgbaImage> DecodeWithImagingComponent(const std::string& bytes, std::int32_t fitWidth,
                                                               std::int32_t fitHeight) {
        if (bytes.empty() || bytes.size() > std::numeric_limits<DWORD>::max() || fitWidth <= 0 || fitHeight <= 0)
            return std::nullopt;
        ComRef<IWICImagingFactory> factory;
        if (FAILED(CoCreateInstance(ClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IidWicImagingFactory,
                                    factory.OutVoid()))) {
            return std::nullopt;
        }
        ComRef<IWICStream> stream;
        if (FAILED(factory->CreateStream(stream.Out())) ||
            FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                                static_cast<DWORD>(bytes.size())))) {
            return std::nullopt;
        }
        ComRef<IWICBitmapDecoder> decoder;
        if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                    decoder.Out()))) {
            return std::nullopt;
        }
        ComRef<IWICBitmapFrameDecode> frame;
        if (FAILED(decoder->GetFrame(0, frame.Out()))) return std::nullopt;
        UINT width = 0;
        UINT height = 0;
        if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return std::nullopt;

        IWICBitmapSource* source = frame.Get();
        ComRef<IWICBitmapScaler> scaler;
        if (width > static_cast<UINT>(fitWidth) || height > static_cast<UINT>(fitHeight)) {
            const double scale = std::min(static_cast<double>(fitWidth) / width, static_cast<double>(fitHeight) / height);
            const UINT scaledWidth = std::max<UINT>(1, static_cast<UINT>(width * scale));
            const UINT scaledHeight = std::max<UINT>(1, static_cast<UINT>(height * scale));
            if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
                FAILED(scaler->Initialize(source, scaledWidth, scaledHeight, WICBitmapInterpolationModeFant))) {
                return std::nullopt;
            }
            source = scaler.Get();
            width = scaledWidth;
            height = scaledHeight;
        }

        // RGBA where the platform converts to it; otherwise BGRA, swapped here.
        bool swap = false;
        ComRef<IWICFormatConverter> converter;
        if (FAILED(factory->CreateFormatConverter(converter.Out()))) return std::nullopt;
        if (FAILED(converter->Initialize(source, WicFormat32bppRgba, WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom))) {
            if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
                FAILED(converter->Initialize(source, WicFormat32bppBgra, WICBitmapDitherTypeNone, nullptr, 0.0,
                                             WICBitmapPaletteTypeCustom))) {
                return std::nullopt;
            }
            swap = true;
        }

        RgbaImage image;
        image.width = static_cast<std::int32_t>(width);
        image.height = static_cast<std::int32_t>(height);
        const std::size_t stride = static_cast<std::size_t>(width) * 4;
        if (stride * height > std::numeric_limits<UINT>::max()) return std::nullopt;
        image.pixels.resize(stride * height);
        if (FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(stride), static_cast<UINT>(image.pixels.size()),
                                         image.pixels.data()))) {
            return std::nullopt;
        }
        if (swap) SwapRedAndBlue(image.pixels.data(), image.pixels.size());
        return image;
    }

private:

    std::unique_ptr<DesktopView> view;
    std::unique_ptr<DesktopItems> items;
    ComRef<IImageList> systemImageList;
    LONG iconWidth = 0;  // the extra-large image list's icon size
    LONG iconHeight = 0;
    std::set<IconHandle> maskedIcons;  // copies of image-list entries without an alpha channel
};

}  // namespace

std::unique_ptr<DesktopShell> CreateDesktopShell() { return std::make_unique<Win32Shell>(); }

std::optional<CapturedDesktop> CaptureDesktop() {
    Win32Shell shell;
    std::optional<std::vector<DesktopIcon>> icons = CaptureDesktopIcons(shell);
    if (!icons) return std::nullopt;
    CapturedDesktop desktop;
    desktop.icons = std::move(*icons);
    desktop.wallpaper.path = shell.QueryWallpaperPath();
    desktop.wallpaper.color = shell.QueryDesktopColor();
    return desktop;
}

std::optional<RgbaImage> DecodeWithPlatform(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight) {
    return Win32Shell::DecodeWithImagingComponent(bytes, fitWidth, fitHeight);
}
