// Run-mode choice and the frame timing rules of the entry and frame loop.
#include "app/frame_timing.h"
#include "app/run_mode.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

RunMode ModeFor(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv{"gravefall.scr"};
    argv.insert(argv.end(), arguments);
    return ChooseRunMode(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(RunMode, ShowForNoArgumentShowSwitchesAndAnythingUnknown) {
    EXPECT_EQ(ModeFor({}), RunMode::Show);
    for (const char* argument : {"/s", "/S", "-s", "-S", "/x", "s", "c", "/", "-", "", "p", "-Sfoo"})
        EXPECT_EQ(ModeFor({argument}), RunMode::Show) << argument;
}

TEST(RunMode, SettingsForEveryFormOfTheConfigureSwitch) {
    for (const char* argument : {"/c", "/C", "-c", "-C", "/c:123", "/c:1234"})
        EXPECT_EQ(ModeFor({argument}), RunMode::Settings) << argument;
}

TEST(RunMode, PreviewWithTheHandleGluedOnOrFollowing) {
    EXPECT_EQ(ModeFor({"/p"}), RunMode::Preview);
    EXPECT_EQ(ModeFor({"/p", "123"}), RunMode::Preview);
    EXPECT_EQ(ModeFor({"/P:123"}), RunMode::Preview);
    EXPECT_EQ(ModeFor({"-p"}), RunMode::Preview);
}

TEST(RunMode, OnlyTheFirstArgumentCounts) {
    EXPECT_EQ(ModeFor({"/s", "/c"}), RunMode::Show);
    EXPECT_EQ(ModeFor({"x", "/p"}), RunMode::Show);
    EXPECT_EQ(ModeFor({"/c", "/p"}), RunMode::Settings);
}

TEST(RunMode, SwitchLettersAboveAsciiDoNotMisfold) {
    EXPECT_EQ(ModeFor({"/\xC3\xA7"}), RunMode::Show);  // 'ç' in UTF-8: not 'c'
}

TEST(MouseExitRule, FirstReadingOnlySetsTheReference) {
    MouseExitRule rule;
    EXPECT_FALSE(rule.Moved(1000.0, 1000.0));
    EXPECT_FALSE(rule.Moved(1000.0, 1000.0));
}

TEST(MouseExitRule, PerAxisStrictlyMoreThanFivePixels) {
    MouseExitRule rule;
    rule.Moved(100.0, 200.0);
    EXPECT_FALSE(rule.Moved(105.0, 200.0));
    EXPECT_FALSE(rule.Moved(95.0, 195.0));
    EXPECT_FALSE(rule.Moved(104.0, 204.0));  // about 5.7 px away diagonally, yet under 5 per axis
    EXPECT_TRUE(rule.Moved(105.5, 200.0));
    EXPECT_TRUE(rule.Moved(100.0, 194.0));
}

TEST(MouseExitRule, JudgedAgainstTheFirstPositionNotTheLastOne) {
    MouseExitRule rule;
    rule.Moved(0.0, 0.0);
    EXPECT_FALSE(rule.Moved(3.0, 0.0));
    EXPECT_FALSE(rule.Moved(5.0, 0.0));
    EXPECT_TRUE(rule.Moved(6.0, 0.0));   // small steps add up
    EXPECT_FALSE(rule.Moved(2.0, 0.0));  // back near the reference: no longer ends the run
}

namespace {

// One frame's pointer reading as the window system gives it.
struct PointerFrame {
    double time;
    bool focused, pointerEvent;
    double x, y;
};

// The frame loop's use of the hand-over and the rule: the time of the frame that ends the run, or -1.
double EndTime(std::initializer_list<PointerFrame> frames) {
    PointerHandOver handOver;
    MouseExitRule rule;
    for (const PointerFrame& frame : frames) {
        switch (handOver.Read(frame.focused, frame.pointerEvent, frame.time)) {
            case PointerReading::Unknown: break;
            case PointerReading::Settling: rule.TakeReference(frame.x, frame.y); break;
            case PointerReading::Settled:
                if (rule.Moved(frame.x, frame.y)) return frame.time;
                break;
        }
    }
    return -1.0;
}

}  // namespace

TEST(PointerHandOver, AStalePositionNeverEndsTheRunAndARealMoveStillDoes) {
    // Xwayland under sway, as measured: the window's mapping brings a pointer event at the stale
    // position (100, 100); the focus comes 0.4 s later, still stale; the real position (700, 500)
    // 23 ms after that.
    EXPECT_EQ(EndTime({{1.50, false, false, 100, 100}, {1.60, false, true, 100, 100}, {1.88, true, true, 100, 100},
                       {1.90, true, true, 700, 500}, {2.20, true, true, 700, 500}, {3.00, true, true, 703, 505}}),
              -1.0);
    EXPECT_EQ(EndTime({{1.50, false, true, 100, 100}, {1.88, true, true, 100, 100}, {1.90, true, true, 700, 500},
                       {2.50, true, true, 706, 500}}),
              2.50);
    // Plain X11: focused from the first frame; the pointer where the user left it. A move right
    // after the hand-over ends the run; one during it only moves the reference.
    EXPECT_EQ(EndTime({{0.0, true, false, 960, 540}, {0.25, true, false, 966, 540}}), 0.25);
    EXPECT_EQ(EndTime({{0.0, true, false, 960, 540}, {0.1, true, false, 990, 540}, {0.5, true, false, 995, 540},
                       {0.6, true, false, 996, 540}}),
              0.6);
    // No focus and no pointer event ever (input that is not ours): nothing is judged.
    EXPECT_EQ(EndTime({{0.0, false, false, 0, 0}, {5.0, false, false, 900, 900}}), -1.0);
}

TEST(FrameClock, DeltaIsTheTimeBetweenTicks) {
    FrameClock clock(10.0);
    EXPECT_FLOAT_EQ(clock.Tick(10.25), 0.25f);
    EXPECT_FLOAT_EQ(clock.Tick(10.25), 0.0f);
    EXPECT_FLOAT_EQ(clock.Tick(11.0), 0.75f);
}

TEST(FrameClock, KeepsMillisecondResolutionAfterLongRuns) {
    // After a day a float clock can only step in multiples of ~7.8 ms; a 60 Hz frame must still
    // measure as 16.67 ms, not 15.6 or 23.4.
    for (double start : {86400.0, 7.0 * 86400.0, 365.0 * 86400.0}) {
        FrameClock clock(start);
        const double frame = 1.0 / 60.0;
        for (int i = 1; i <= 120; ++i)
            ASSERT_NEAR(clock.Tick(start + i * frame), frame, 1e-6) << "start " << start << " frame " << i;
    }
}

namespace {

std::optional<HostWindowRequest> HostFor(std::initializer_list<const char*> arguments, const char* variable = nullptr) {
    std::vector<const char*> argv{"gravefall"};
    argv.insert(argv.end(), arguments);
    return FindHostWindow(static_cast<int>(argv.size()), argv.data(), variable);
}

bool IsWindow(const std::optional<HostWindowRequest>& request, unsigned long id) {
    return request && !request->root && request->id == id;
}

}  // namespace

TEST(HostWindow, TheVariableThenTheWindowIdThenRootAndNothingElse) {
    // What each host passes: xscreensaver the variable (and -root), the others an id or -root.
    EXPECT_TRUE(IsWindow(HostFor({"-root"}, "0x2a00007"), 0x2a00007));
    EXPECT_TRUE(IsWindow(HostFor({}, "44040199"), 44040199));
    EXPECT_TRUE(IsWindow(HostFor({"-window-id", "0x400001"}), 0x400001));
    EXPECT_TRUE(IsWindow(HostFor({"/s", "--window-id", "123", "-root"}), 123));
    for (auto arguments : {std::initializer_list<const char*>{"-root"}, {"--root"}, {"/s", "-root"}}) {
        const auto request = HostFor(arguments);
        EXPECT_TRUE(request && request->root);
    }
    // An id that is not one falls through to what else is there; a bare switch is no host.
    EXPECT_TRUE(HostFor({"-window-id", "0x12zz", "-root"})->root);
    EXPECT_TRUE(HostFor({"-root"}, "garbage")->root);
    for (auto arguments : {std::initializer_list<const char*>{}, {"/s"}, {"-window-id"}, {"-window-id", "0"},
                           {"-window-id", "-root"}, {"-rootx"}, {"root"}, {"---root"}})
        EXPECT_FALSE(HostFor(arguments).has_value()) << (arguments.size() ? *arguments.begin() : "");
    EXPECT_FALSE(HostFor({}, "").has_value());
    // The switches are the show mode under the run-mode rules.
    EXPECT_EQ(ModeFor({"-root"}), RunMode::Show);
    EXPECT_EQ(ModeFor({"-window-id", "0x400001"}), RunMode::Show);
    EXPECT_EQ(ModeFor({"--root"}), RunMode::Show);
}

TEST(HostWindow, IconsGoWhereThePrimaryMonitorIsInTheWindow) {
    // Two monitors side by side, the primary on the right; the root window spans both.
    const ScreenRect primary{1280, 0, 1920, 1080};
    const auto at = [&](ScreenRect window) { return PrimaryIconsOrigin(window, primary); };
    const auto is = [](std::optional<PixelOffset> origin, int x, int y) {
        return origin && origin->x == x && origin->y == y;
    };
    EXPECT_TRUE(is(at({0, 0, 3200, 1080}), 1280, 0)) << "the root window";
    EXPECT_TRUE(is(at({1280, 0, 1920, 1080}), 0, 0)) << "the host's window on the primary monitor";
    EXPECT_TRUE(is(at({1800, 500, 320, 200}), 0, 0)) << "a preview on the primary monitor";
    EXPECT_TRUE(is(at({1279, 0, 1922, 1080}), 1, 0)) << "a window a pixel larger";
    EXPECT_FALSE(at({0, 0, 1280, 1024})) << "the host's window on the other monitor";
    EXPECT_FALSE(at({1000, 500, 558, 200})) << "a preview whose centre is a pixel off the primary";
    EXPECT_TRUE(is(at({1000, 500, 560, 200}), 0, 0)) << "and one whose centre is on its first column";
    EXPECT_FALSE(at({1280, 0, 0, 0})) << "a window of no size";
}
