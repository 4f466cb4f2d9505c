// The frame loop: time, events, the mouse-exit rule, the world's update and spawn, then the
// picture back to front (wallpaper, icons, labels, creatures), presented with vsync.
#pragma once

class ShowSurface;
struct Population;
struct DesktopMirror;

// Runs frames until the surface is asked to close. With reportFirstFrame set, prints the start-up
// figures once the first frame is presented and ends the run (the start-up benchmark).
// population is the crowd to move, spawn and draw each frame; none runs frames without creatures.
// desktop is the mirrored desktop drawn under the creatures; none draws only the clear colour.
void RunFrameLoop(ShowSurface& surface, bool reportFirstFrame, Population* population = nullptr,
                  DesktopMirror* desktop = nullptr);
