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

// Ends the run once the pointer has moved more than 5 px along either axis from where it was
// in the first frame that read it. The first reading only sets the reference; the frame loop
// reads the pointer only once the window really has it (see ShowSurface::PointerPosition).
class MouseExitRule {
public:
    static constexpr double Tolerance = 5.0;

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
