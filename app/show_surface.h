// What the frame loop draws on and takes its input from: our own full-screen window (with black
// covers on the other monitors), or a screen-saver host's window, whose input is the host's.
#pragma once

#include "app/frame_timing.h"
#include "core/geometry.h"

class ShowSurface {
public:
    virtual ~ShowSurface() = default;

    // The screen size of the whole run: projections, culling and spawning keep it.
    virtual ScreenSize Screen() const = 0;
    // Seconds on a clock that only moves forward.
    virtual double Time() const = 0;
    // Delivers the window system's events: a key press, a close request or an end request asks
    // the run to end; a change of the drawable's size changes the viewport.
    virtual void PollEvents() = 0;
    // The pointer's position for the mouse-exit rule, and what it is good for (PointerReading):
    // Unknown where the input is not ours.
    virtual PointerReading PointerPosition(double& x, double& y) = 0;
    virtual void RequestClose() = 0;
    virtual bool CloseRequested() const = 0;
    // Shows the frame just drawn.
    virtual void Present() = 0;
};
