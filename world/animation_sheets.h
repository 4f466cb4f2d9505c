// The creature sprite sheets as the executable embeds them: six groups of eight, one sheet per
// compass direction. Gives each sheet's resource identifier and its texture name.
#pragma once

#include <cstdint>
#include <string>

enum class SheetGroup { FemaleZombieRun, FemaleZombieWalk, MaleZombieRun, MaleZombieWalk, SoldierWalk, SoldierHit };

// "N", "NE", ... "NW" for directions 0..7; empty for anything else.
const char* DirectionSuffix(int direction);

// The embedded sheet of a group facing a direction; 0 (no such resource) for a bad direction.
std::uint32_t SheetResourceId(SheetGroup group, int direction);

// The registry name of that sheet, e.g. "male_zombie_walk_N"; empty for a bad direction.
std::string SheetTextureName(SheetGroup group, int direction);
