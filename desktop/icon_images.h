// The captured icon images as textures ("desktop_icon_" + list position) and one-state sprite
// animations, drawn every frame at the icons' positions over the wallpaper.
#pragma once

#include "desktop/desktop_capture.h"

#include <memory>
#include <string>
#include <vector>

struct AssetRegistry;
class FrameStripRenderer;
class SpriteAnimation;

std::string IconTextureName(std::size_t index);

// One texture and one animation per record, in list order; every record's pixels are released
// once uploaded. An icon without pixels gets a transparent texture.
std::vector<std::unique_ptr<SpriteAnimation>> CreateIconAnimations(std::vector<DesktopIcon>& icons,
                                                                   AssetRegistry& registry,
                                                                   FrameStripRenderer* iconRenderer);

void DrawIcons(const std::vector<DesktopIcon>& icons,
               const std::vector<std::unique_ptr<SpriteAnimation>>& iconAnimations, float deltaTime);
