// GNOME's background schema, shared by the GNOME family: GNOME, Ubuntu and Budgie keep it as
// org.gnome.desktop.background, Cinnamon the same keys as org.cinnamon.desktop.background. Each
// draws them by its own rules.
#pragma once

#include "desktop/desktop_capture.h"
#include "desktop/xdg/screen_facts.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// How an environment draws GNOME's background keys.
struct BackgroundRules {
    bool onlyUserSet = false;  // only when the user changed a key (a guess without an environment)
    bool darkPicture = true;   // picture-uri-dark under a dark colour scheme
    bool slideshows = true;    // an .xml picture shows its current slide (else no picture)
    GradientRamp ramp = GradientRamp::EdgeToEdge;
    std::time_t now = 0;
    ScreenFacts screen;
};

// The backdrop the keys of schemaId set, drawn by those rules; none when the schema is not installed.
std::optional<WallpaperSetting> GnomeStyleBackground(const char* schemaId, const BackgroundRules& rules);

// The picture a GNOME slideshow file shows at time now on a width x height screen (the size
// variant that suits it best); empty when it names none.
std::string SlideshowPictureAt(std::string_view xml, std::time_t now, std::int32_t width, std::int32_t height);
