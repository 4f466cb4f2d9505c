// The creature sprite sheets as the executable embeds them: six groups of eight, one sheet per
// compass direction. Gives each sheet's resource id and its texture name.
#pragma once

#include <cstdint>
#include <string>

enum class SheetGroup { FemaleZombieRun, FemaleZombieWalk, MaleZombieRun, MaleZombieWalk, SoldierWalk, SoldierHit };

// The embedded sheet of a group facing a direction (N = 0 ... NW = 7); 0 (no such resource) for
// a bad direction.
std::uint32_t SheetResourceId(SheetGroup group, int direction);

// The registry name of that sheet, e.g. "male_zombie_walk_N"; empty for a bad direction.
std::string SheetTextureName(SheetGroup group, int direction);
