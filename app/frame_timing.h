// Frame-to-frame bookkeeping that needs no window: the frame clock and the mouse-exit rule.
#pragma once

#include <cmath>

// Measures the seconds between frames. The clock is kept in double precision: a float clock
// loses resolution as the run gets long (after a day it moves in steps of ~8 ms), which would
// make animation stutter. Only the difference is narrowed to float.
class FrameClock {
public:
    explicit FrameClock(double now) : previous(now) {}
    float Tick(double now) {
        const float delta = static_cast<float>(now - previous);
        previous = now;
        return delta;
    }

private:
    double previous;
};

// What a pointer position the window system reports is good for.
enum class PointerReading {
    Unknown,   // nothing to go by: the window does not have the pointer yet, or its input is not ours
    Settling,  // the window system is still handing the pointer over: this is the reference
    Settled,   // judge it against the reference
};

// When the pointer's reported position can be believed. Until the window has the focus or a
// pointer event of its own, the position may be one the window system made up; and Xwayland
// reports the real one only after it has given the window the focus (some 20 ms later under
// sway), even when a stale pointer event came before. So the hand-over starts at the first focus
// (or, failing one, the first pointer event) and lasts SettleSeconds: positions read meanwhile
// replace the reference instead of ending the run. A later first focus starts it once more.
class PointerHandOver {
public:
    static constexpr double SettleSeconds = 0.2;

    PointerReading Read(bool focused, bool pointerEvent, double now) {
        if (!started && !focused && !pointerEvent) return PointerReading::Unknown;
        if (!started || (focused && !hadFocus)) startedAt = now;
        started = true;
        hadFocus = hadFocus || focused;
        return now - startedAt < SettleSeconds ? PointerReading::Settling : PointerReading::Settled;
    }

private:
    bool started = false, hadFocus = false;
    double startedAt = 0.0;
};

// Ends the run once the pointer has moved more than 5 px along either axis from the reference:
// the first position read, or the last one read while the window system was handing the pointer
// over (see PointerHandOver).
class MouseExitRule {
public:
    static constexpr double Tolerance = 5.0;

    void TakeReference(double x, double y) {
        referenceX = x;
        referenceY = y;
        hasReference = true;
    }

    // Returns true when the run should end.
    bool Moved(double x, double y) {
        if (!hasReference) {
            referenceX = x;
            referenceY = y;
            hasReference = true;
            return false;
        }
        return std::fabs(x - referenceX) > Tolerance || std::fabs(y - referenceY) > Tolerance;
    }

private:
    bool hasReference = false;
    double referenceX = 0.0, referenceY = 0.0;
};
