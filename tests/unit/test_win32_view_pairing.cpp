// The Windows capture through a scripted shell: pairing view items with folder items by exact
// name, the count rule, items left out without gaps, each icon drawn once and its handle destroyed,
// and the failures that end the start-up.
#include "desktop/win32/view_pairing.h"
#include "tests/support/empty_win32_shell.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct FakeIcon {
    int image;
};

class FakeShell final : public EmptyShell {
public:
    struct View {
        std::u16string name;
        ShellPoint position;
        bool found = true;
    };

    bool viewOpens = true, folderOpens = true, imageListOpens = true;
    bool viewCountFails = false;
    std::optional<std::int32_t> viewCountOverride;
    std::vector<View> view;
    std::vector<ShellFolderItem> folder;
    std::set<std::int32_t> brokenImages;      // the image list gives no icon
    std::set<std::int32_t> undrawableImages;  // an icon whose pixels cannot be read
    std::map<std::int32_t, std::pair<int, int>> imageSizes;
    std::set<IconHandle> live;
    int viewItemCalls = 0;

    bool OpenDesktopView() override { return viewOpens; }
    bool OpenDesktopFolder() override { return folderOpens; }
    bool OpenImageList() override { return imageListOpens; }
    std::optional<std::int32_t> ViewItemCount() override {
        if (viewCountFails) return std::nullopt;
        if (viewCountOverride) return viewCountOverride;
        return static_cast<std::int32_t>(view.size());
    }
    bool ViewItemAt(std::int32_t index, ShellViewItem& item) override {
        ++viewItemCalls;
        if (index < 0 || index >= static_cast<std::int32_t>(view.size())) return false;
        item.name = view[index].name;
        item.position = view[index].position;
        return view[index].found;
    }
    std::int32_t FolderItemCount() override { return static_cast<std::int32_t>(folder.size()); }
    ShellFolderItem FolderItemAt(std::int32_t index) override { return folder.at(index); }
    ShellIcon IconAt(std::int32_t iconIndex) override {
        if (brokenImages.count(iconIndex)) return {};
        auto* icon = new FakeIcon{iconIndex};
        auto handle = reinterpret_cast<IconHandle>(icon);
        live.insert(handle);
        auto size = imageSizes.count(iconIndex) ? imageSizes[iconIndex] : std::make_pair(48, 48);
        return ShellIcon{handle, size.first, size.second};
    }
    // One pixel whose red byte names the image; an undrawable image gives nothing.
    std::vector<unsigned char> CaptureIconPixels(IconHandle icon, std::int32_t& width, std::int32_t& height) override {
        EXPECT_EQ(live.count(icon), 1u) << "drawn after it was destroyed";
        const int image = reinterpret_cast<FakeIcon*>(icon)->image;
        if (undrawableImages.count(image)) return {};
        width = height = 1;
        return {static_cast<unsigned char>(image), 0, 0, 255};
    }
    void DestroyIcon(IconHandle icon) override {
        EXPECT_EQ(live.erase(icon), 1u) << "an icon destroyed twice or never handed out";
        delete reinterpret_cast<FakeIcon*>(icon);
    }

    static int ImageOf(const DesktopIcon& icon) { return icon.image.pixels.empty() ? -1 : icon.image.pixels[0]; }
};

// Runs the capture and hands the icons back for inspection; no icon handle outlives it.
class Capture : public testing::Test {
protected:
    FakeShell shell;
    std::vector<DesktopIcon> icons;

    bool Run() {
        auto captured = CaptureDesktopIcons(shell);
        if (captured) icons = std::move(*captured);
        return captured.has_value();
    }
    void TearDown() override { EXPECT_TRUE(shell.live.empty()) << "icon handles leaked"; }
};

TEST_F(Capture, PairsViewItemsWithFolderItemsByNameInViewOrder) {
    shell.view = {{u"Notes", {10, 20}}, {u"Photos", {10, 120}}, {u"Trash", {10, 220}}};
    shell.folder = {{u"Trash", 7}, {u"Photos", 3}, {u"Notes", 5}};
    shell.imageSizes[3] = {32, 24};
    ASSERT_TRUE(Run());
    ASSERT_EQ(icons.size(), 3u);
    EXPECT_EQ(icons[0].label, u"Notes");
    EXPECT_EQ(FakeShell::ImageOf(icons[0]), 5);
    EXPECT_EQ(icons[0].position.x, 10);
    EXPECT_EQ(icons[0].position.y, 20);
    EXPECT_EQ(icons[1].label, u"Photos");
    EXPECT_EQ(FakeShell::ImageOf(icons[1]), 3);
    EXPECT_EQ(icons[1].width, 32);
    EXPECT_EQ(icons[1].height, 24);
    EXPECT_EQ(icons[2].position.y, 220);
}

TEST_F(Capture, NamesMatchExactlyByCodeUnits) {
    shell.view = {{u"notes", {0, 0}}, {u"Notes ", {0, 0}}, {u"Caf\u00e9", {0, 0}}, {u"", {5, 5}}};
    shell.folder = {{u"Notes", 1}, {u"Cafe\u0301", 2}, {u"", 4}, {u"x", 3}};
    ASSERT_TRUE(Run());
    // Case, a trailing space and a different normalisation all fail; two empty names are equal.
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].label, u"");
    EXPECT_EQ(FakeShell::ImageOf(icons[0]), 4);
}

TEST_F(Capture, DuplicateNamesAllTakeTheFirstFolderItemsIcon) {
    shell.view = {{u"Report", {0, 0}}, {u"Report", {0, 100}}};
    // The first "Report" has no icon index, so the search passes over it to the next one.
    shell.folder = {{u"Report", -1}, {u"Report", 8}, {u"Report", 9}};
    ASSERT_TRUE(Run());
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(FakeShell::ImageOf(icons[0]), 8);
    EXPECT_EQ(FakeShell::ImageOf(icons[1]), 8);
}

TEST_F(Capture, ExaminesOnlyAsManyViewItemsAsTheFolderHas) {
    for (int i = 0; i < 12; ++i) shell.view.push_back({std::u16string(1, char16_t(u'a' + i)), {0, i}});
    for (int i = 0; i < 10; ++i) shell.folder.push_back({std::u16string(1, char16_t(u'a' + 11 - i)), i});
    ASSERT_TRUE(Run());
    // Folder holds l..c; view items a..j are examined, so c..j (8 of them) are captured.
    ASSERT_EQ(icons.size(), 8u);
    EXPECT_EQ(icons.front().label, u"c");
    EXPECT_EQ(icons.back().label, u"j");
    EXPECT_EQ(shell.viewItemCalls, 10);
}

TEST_F(Capture, ItemsThatFailAStepAreLeftOutWithoutGaps) {
    shell.view = {{u"a", {0, 0}}, {u"unnamed", {0, 1}, false}, {u"b", {0, 2}}, {u"stranger", {0, 3}},
                  {u"broken", {0, 4}}, {u"c", {0, 5}}};
    shell.folder = {{u"a", 0}, {u"unnamed", 1}, {u"b", 2}, {u"broken", 6}, {u"c", 4}, {u"other", 5}};
    shell.brokenImages = {6};
    shell.undrawableImages = {4};
    ASSERT_TRUE(Run());
    ASSERT_EQ(icons.size(), 3u);
    EXPECT_EQ(icons[0].label, u"a");
    EXPECT_EQ(icons[1].label, u"b");
    EXPECT_EQ(icons[1].position.y, 2);
    // An icon that cannot be drawn keeps its place and size, without pixels.
    EXPECT_EQ(icons[2].label, u"c");
    EXPECT_EQ(icons[2].position.y, 5);
    EXPECT_EQ(icons[2].width, 48);
    EXPECT_TRUE(icons[2].image.pixels.empty());
    EXPECT_EQ(FakeShell::ImageOf(icons[0]), 0);
}

TEST_F(Capture, AnUnreadableViewCountOrAnEmptyDesktopGivesNoIcons) {
    shell.view = {{u"a", {0, 0}}};
    shell.folder = {{u"a", 0}};
    shell.viewCountFails = true;
    ASSERT_TRUE(Run());
    EXPECT_TRUE(icons.empty());

    FakeShell empty;
    auto none = CaptureDesktopIcons(empty);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
}

TEST_F(Capture, ANegativeViewCountIsTreatedAsNone) {
    shell.view = {{u"a", {0, 0}}};
    shell.folder = {{u"a", 0}};
    shell.viewCountOverride = -5;
    ASSERT_TRUE(Run());
    EXPECT_TRUE(icons.empty());
}

TEST_F(Capture, AnUnreadableDesktopFailsTheCapture) {
    shell.view = {{u"a", {0, 0}}};
    shell.folder = {{u"a", 0}};
    for (bool FakeShell::*step : {&FakeShell::viewOpens, &FakeShell::folderOpens, &FakeShell::imageListOpens}) {
        FakeShell failing;
        failing.view = shell.view;
        failing.folder = shell.folder;
        failing.*step = false;
        EXPECT_FALSE(CaptureDesktopIcons(failing).has_value());
        EXPECT_TRUE(failing.live.empty());
    }
}

TEST(FolderNameIndex, FindsTheFirstItemOfANameAmongThousands) {
    FakeShell shell;
    for (int i = 0; i < 3000; ++i) {
        std::u16string name = u"item ";
        for (char c : std::to_string(i % 1500)) name += char16_t(c);
        shell.folder.push_back({name, i});
    }
    const FolderNameIndex index(shell);
    EXPECT_EQ(index.Find(u"item 0"), 0);
    EXPECT_EQ(index.Find(u"item 1499"), 1499);
    EXPECT_EQ(index.Find(u"item 1500"), std::nullopt);
    EXPECT_EQ(index.Find(u"item"), std::nullopt);
}

}  // namespace
