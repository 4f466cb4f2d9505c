// The capture's walk through the shell, against a fake shell windows collection registered for
// this process: real desktop item ID lists at chosen places in a view window that sits above and
// left of the primary monitor, the "Show desktop icons" setting, the walk failing at each step,
// and every COM reference, item ID list and name released afterwards.
#include "app/show_mode.h"
#include "desktop/desktop_capture.h"
#include "desktop/win32/desktop_shell.h"
#include "fake_shell/fake_shell.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr CLSID ClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
const wchar_t* const FolderNames[] = {L"Gravefall Alpha", L"Gravefall Beta", L"Gravefall Gamma"};

struct CapturedIcon {
    std::u16string label;
    std::int32_t x, y, width, height;
};

// Blocks of the task allocator (item ID lists, names) made while it watches and not yet freed.
class TaskAllocationSpy final : public IMallocSpy {
public:
    std::size_t Outstanding() {
        std::lock_guard lock(mutex);
        return live.size();
    }
    std::size_t Allocations() {
        std::lock_guard lock(mutex);
        return allocations;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = (riid == IID_IUnknown || riid == __uuidof(IMallocSpy)) ? this : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* block) override {
        std::lock_guard lock(mutex);
        if (block != nullptr) {
            live.insert(block);
            ++allocations;
        }
        return block;
    }
    void* STDMETHODCALLTYPE PreFree(void* block, WINBOOL watched) override {
        std::lock_guard lock(mutex);
        if (watched) live.erase(block);
        return block;
    }
    void STDMETHODCALLTYPE PostFree(WINBOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock, WINBOOL watched) override {
        std::lock_guard lock(mutex);
        if (watched) live.erase(block);
        *newBlock = block;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* block, WINBOOL watched) override {
        std::lock_guard lock(mutex);
        if (watched && block != nullptr) live.insert(block);
        return block;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* block, WINBOOL) override { return block; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, WINBOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* block, WINBOOL) override { return block; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, WINBOOL, int allocated) override { return allocated; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    std::mutex mutex;
    std::set<void*> live;
    std::size_t allocations = 0;
};

class FakeDesktopView : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t desktop[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
        for (const wchar_t* name : FolderNames) CreateDirectoryW((std::wstring(desktop) + L"\\" + name).c_str(), nullptr);
    }
    void TearDown() override { CoUninitialize(); }

    // Runs body with the fake serving scene as the shell windows collection, then checks that the
    // program released every reference to it.
    template <class Body>
    void WithFakeShell(const fake_shell::Scene& scene, Body body) {
        fake_shell::FakeShell fake(scene);
        ASSERT_TRUE(fake.MissingNames().empty());
        DWORD cookie = 0;
        ASSERT_EQ(CoRegisterClassObject(ClsidShellWindows, fake.ClassFactory(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &cookie),
                  S_OK);
        body(fake);
        CoRevokeClassObject(cookie);
        EXPECT_GT(fake.CreatedObjects(), 0u) << "the fake was never asked for";
        const std::vector<std::string> held = fake.HeldReferences();
        EXPECT_TRUE(held.empty()) << testing::PrintToString(held);
    }

    // The capture of a scene as the program makes it, its shell torn down afterwards; none when
    // the desktop cannot be read.
    std::optional<std::vector<CapturedIcon>> Capture(const fake_shell::Scene& scene) {
        std::optional<std::vector<CapturedIcon>> result;
        WithFakeShell(scene, [&](fake_shell::FakeShell&) {
            const std::optional<CapturedDesktop> desktop = CaptureDesktop();
            if (desktop) {
                result.emplace();
                for (const DesktopIcon& icon : desktop->icons) {
                    EXPECT_EQ(icon.image.pixels.size(), static_cast<std::size_t>(icon.width) * icon.height * 4);
                    result->push_back({icon.label, icon.position.x, icon.position.y, icon.width, icon.height});
                }
            }
        });
        return result;
    }

    static std::int32_t DesktopFolderCount() {
        std::unique_ptr<DesktopShell> shell = CreateDesktopShell();
        return shell->OpenDesktopFolder() ? shell->FolderItemCount() : -1;
    }
};

fake_shell::Scene SceneOf(std::vector<fake_shell::ViewItem> items, POINT origin = {0, 0}) {
    fake_shell::Scene scene;
    scene.items = std::move(items);
    scene.viewOrigin = origin;
    return scene;
}

void SetHideIcons(DWORD value) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
                              L"HideIcons", REG_DWORD, &value, sizeof value),
              ERROR_SUCCESS);
}

// A monitor left of and above the primary one puts the virtual screen's origin, and with it the
// view window, at (-300, -200): view positions are 300 px right of and 200 px below the screen's.
TEST_F(FakeDesktopView, PositionsAreMappedThroughTheViewWindowAndIconsOffThePrimaryMonitorLeftOut) {
    const std::optional<std::vector<CapturedIcon>> icons = Capture(SceneOf(
        {{L"Gravefall Alpha", {400, 300}},   // (100, 100) on the primary monitor
         {L"Gravefall Beta", {-60, 150}},    // (-360, -50): wholly on the other monitor
         {L"Gravefall Gamma", {260, 180}},   // (-40, -20): partly on the primary monitor
         {L"Gravefall Beta", {1300, 900}}},  // (1000, 700)
        {-300, -200}));
    ASSERT_TRUE(icons.has_value());
    ASSERT_EQ(icons->size(), 3u);
    const HDC screen = GetDC(nullptr);
    const int side = MulDiv(48, GetDeviceCaps(screen, LOGPIXELSX), 96);
    ReleaseDC(nullptr, screen);
    const std::vector<std::tuple<std::u16string, int, int>> expected = {
        {u"Gravefall Alpha", 100, 100}, {u"Gravefall Gamma", -40, -20}, {u"Gravefall Beta", 1000, 700}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*icons)[i].label, std::get<0>(expected[i]));
        EXPECT_EQ((*icons)[i].x, std::get<1>(expected[i])) << i;
        EXPECT_EQ((*icons)[i].y, std::get<2>(expected[i])) << i;
        EXPECT_EQ((*icons)[i].width, side);
        EXPECT_EQ((*icons)[i].height, side);
    }
}

TEST_F(FakeDesktopView, ItemsPairByNameAndOnlyAsManyAsTheFolderHoldsAreExamined) {
    // The same name twice: both places show it.
    const auto twice = Capture(SceneOf({{L"Gravefall Alpha", {10, 10}}, {L"Gravefall Alpha", {10, 110}}}));
    ASSERT_TRUE(twice.has_value());
    ASSERT_EQ(twice->size(), 2u);
    EXPECT_EQ((*twice)[0].label, (*twice)[1].label);
    EXPECT_EQ((*twice)[1].y, 110);

    // A view of more items than the folder holds: the ones past the folder's count are never examined.
    const std::int32_t folderCount = DesktopFolderCount();
    ASSERT_GE(folderCount, 3);
    std::vector<fake_shell::ViewItem> many;
    for (int i = 0; i < folderCount + 2; ++i) many.push_back({L"Gravefall Beta", {10 + 60 * i, 10}});
    const auto longView = Capture(SceneOf(many));
    ASSERT_TRUE(longView.has_value());
    ASSERT_EQ(longView->size(), static_cast<std::size_t>(folderCount));
    EXPECT_EQ(longView->back().x, 10 + 60 * (folderCount - 1));

    // A view whose count is smaller than what it lists: the count decides.
    fake_shell::Scene counted = SceneOf({{L"Gravefall Alpha", {10, 10}}, {L"Gravefall Beta", {10, 110}}, {L"Gravefall Gamma", {10, 210}}});
    counted.reportedCount = 2;
    const auto shortCount = Capture(counted);
    ASSERT_TRUE(shortCount.has_value());
    EXPECT_EQ(shortCount->size(), 2u);
    // One that lists fewer than its count: the missing ones are left out.
    counted.reportedCount = 3;
    counted.items.pop_back();
    const auto shortList = Capture(counted);
    ASSERT_TRUE(shortList.has_value());
    EXPECT_EQ(shortList->size(), 2u);
}

TEST_F(FakeDesktopView, HiddenDesktopIconsLeaveTheMirrorEmpty) {
    const fake_shell::Scene scene = SceneOf({{L"Gravefall Alpha", {10, 10}}, {L"Gravefall Beta", {10, 110}}});
    SetHideIcons(1);
    const auto hidden = Capture(scene);
    SetHideIcons(0);
    ASSERT_TRUE(hidden.has_value());
    EXPECT_TRUE(hidden->empty());
    const auto shown = Capture(scene);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->size(), 2u);
}

TEST_F(FakeDesktopView, AWalkThatFailsEndsTheShowWithCode1AndReleasesWhatItHeld) {
    for (fake_shell::Failure failure : {fake_shell::Failure::NoDesktopWindow, fake_shell::Failure::NoActiveView,
                                        fake_shell::Failure::NoFolder}) {
        SCOPED_TRACE(static_cast<int>(failure));
        fake_shell::Scene scene = SceneOf({{L"Gravefall Alpha", {10, 10}}});
        scene.failure = failure;
        EXPECT_FALSE(Capture(scene).has_value());
        // The show itself: no window, exit code 1.
        WithFakeShell(scene, [](fake_shell::FakeShell&) { EXPECT_EQ(RunShowMode(std::nullopt), 1); });
    }
    // A view that cannot count its items is an empty desktop, not a failure.
    fake_shell::Scene uncounted = SceneOf({{L"Gravefall Alpha", {10, 10}}});
    uncounted.failure = fake_shell::Failure::NoItemCount;
    const auto icons = Capture(uncounted);
    ASSERT_TRUE(icons.has_value());
    EXPECT_TRUE(icons->empty());
}

TEST_F(FakeDesktopView, EveryItemIdListAndNameIsFreed) {
    const fake_shell::Scene scene = SceneOf(
        {{L"Gravefall Alpha", {10, 10}}, {L"Gravefall Beta", {10, 110}}, {L"Gravefall Gamma", {10, 210}}});
    ASSERT_TRUE(Capture(scene).has_value());  // the shell's own caches fill up outside the watch
    WithFakeShell(scene, [](fake_shell::FakeShell&) {
        // COM keeps a spy that still watches blocks past its revocation: it lives as long as the process.
        static TaskAllocationSpy spy;
        ASSERT_EQ(CoRegisterMallocSpy(&spy), S_OK);
        {
            const std::optional<CapturedDesktop> desktop = CaptureDesktop();
            EXPECT_EQ(desktop ? desktop->icons.size() : 0u, 3u);
        }
        const std::size_t outstanding = spy.Outstanding();
        const std::size_t allocations = spy.Allocations();
        CoRevokeMallocSpy();
        EXPECT_GT(allocations, 6u);  // at least the view's and the folder's item ID lists
        EXPECT_EQ(outstanding, 0u);
    });
}

}  // namespace
