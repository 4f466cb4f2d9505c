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
