// Building and destroying the three creature sets.
#include "world/animation_sets.h"

#include "render/asset_registry.h"
#include "render/sprite_renderer.h"
#include "world/animation_sheets.h"

#include <initializer_list>
#include <string>

std::unique_ptr<SpriteAnimation> maleZombieSet;
std::unique_ptr<SpriteAnimation> femaleZombieSet;
std::unique_ptr<SpriteAnimation> soldierSet;

namespace {

struct StateSheets {
    int state;
    FrameStripRenderer* renderer;
    SheetGroup group;
};

// When a set's sheets get their pixels: at once, or when one is first drawn.
enum class SheetPixels { Now, WhenDrawn };

std::unique_ptr<SpriteAnimation> BuildSet(AssetRegistry& registry, Vec2 size, std::initializer_list<StateSheets> states,
                                          SheetPixels pixels = SheetPixels::Now) {
    auto set = std::make_unique<SpriteAnimation>(size, Color{1.0f, 1.0f, 1.0f});
    for (const StateSheets& entry : states)
        if (entry.renderer != nullptr) set->renderers[entry.state] = entry.renderer;
    for (const StateSheets& entry : states)
        for (int direction = N; direction <= NW; ++direction) {
            const std::uint32_t id = SheetResourceId(entry.group, direction);
            const std::string name = SheetTextureName(entry.group, direction);
            set->textures[entry.state][direction] = pixels == SheetPixels::Now
                                                        ? registry.LoadTextureResource(id, name)
                                                        : registry.RegisterTextureResource(id, name);
        }
    return set;
}

}  // namespace

void BuildAnimationSets(AssetRegistry& registry, const FrameStripRenderers& renderers) {
    maleZombieSet = BuildSet(registry, {125.0f, 125.0f},
                             {{Walk, renderers.maleWalk.get(), SheetGroup::MaleZombieWalk},
                              {Run, renderers.maleRun.get(), SheetGroup::MaleZombieRun}});
    femaleZombieSet = BuildSet(registry, {100.0f, 100.0f},
                               {{Walk, renderers.femaleWalk.get(), SheetGroup::FemaleZombieWalk},
                                {Run, renderers.femaleRun.get(), SheetGroup::FemaleZombieRun}});
    // No creature is a soldier: its sixteen sheets (over a third of all the pixels) are named and
    // ready, but decoded only if one is ever drawn.
    soldierSet = BuildSet(registry, {120.0f, 120.0f},
                          {{Walk, renderers.soldierWalk.get(), SheetGroup::SoldierWalk},
                           {Hit, renderers.soldierHit.get(), SheetGroup::SoldierHit}},
                          SheetPixels::WhenDrawn);
}

void DestroyAnimationSets() {
    maleZombieSet.reset();
    femaleZombieSet.reset();
    soldierSet.reset();
}
