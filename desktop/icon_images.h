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
class DesktopShell;

std::string IconTextureName(std::size_t index);

// One texture and one animation per record, in list order; every record's icon handle is
// destroyed and cleared. An icon whose pixels cannot be read gets a transparent texture.
std::vector<std::unique_ptr<SpriteAnimation>> CreateIconAnimations(std::vector<DesktopIcon>& icons,
                                                                   AssetRegistry& registry,
                                                                   FrameStripRenderer* iconRenderer,
                                                                   DesktopShell& shell);

void DrawIcons(const std::vector<DesktopIcon>& icons,
               const std::vector<std::unique_ptr<SpriteAnimation>>& iconAnimations, float deltaTime);
