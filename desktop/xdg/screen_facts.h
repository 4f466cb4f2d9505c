// What the mirror reads of the screen it shows: the primary monitor's place, size and connector
// name on the X screen, the part of it panels leave free, its resolution, and the window
// manager's current workspace. Every environment lays its icons out and picks its wallpaper by it.
#pragma once

#include <cstdint>
#include <string>

struct ScreenFacts {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string connector;  // e.g. "DP-1"; empty when unknown
    std::string edid{};     // the primary monitor's EDID as RandR publishes it; empty when none
    int monitorIndex = 0;   // the primary monitor's place among the lit ones
    int workspace = 0;
    // The part of the primary monitor panels leave free, relative to its top-left (the window's
    // origin); the whole monitor when the window manager publishes none.
    std::int32_t workX = 0;
    std::int32_t workY = 0;
    std::int32_t workWidth = 0;
    std::int32_t workHeight = 0;
    bool workAreaPublished = false;  // whether the window manager published one
    // X's resolution as GTK 2 and Qt take it: Xft.dpi, else the screen's size in millimetres.
    double dpi = 96.0;
    // GTK 3's: Xft.dpi, else 96 whatever the screen's size.
    double gtk3Dpi = 96.0;
};

// Read from the X server ($DISPLAY); 1920 x 1080 at (0, 0) when there is none.
ScreenFacts ReadScreenFacts();
