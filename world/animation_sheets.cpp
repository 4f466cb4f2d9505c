// Identifiers and names of the 48 creature sheets. Within a group the identifiers follow the
// alphabetical order of the direction suffixes (E, N, NE, NW, S, SE, SW, W).
#include "world/animation_sheets.h"

namespace {

struct GroupInfo {
    const char* prefix;
    std::uint32_t firstId;
};

GroupInfo InfoOf(SheetGroup group) {
    switch (group) {
        case SheetGroup::FemaleZombieRun: return {"female_zombie_run_", 201};
        case SheetGroup::FemaleZombieWalk: return {"female_zombie_walk_", 209};
        case SheetGroup::MaleZombieRun: return {"male_zombie_run_", 217};
        case SheetGroup::MaleZombieWalk: return {"male_zombie_walk_", 225};
        case SheetGroup::SoldierWalk: return {"swat_soldier_walk_", 233};
        case SheetGroup::SoldierHit: return {"swat_soldier_hit_", 241};
    }
    return {"", 0};
}

constexpr const char* Suffixes[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
// Position of each direction's suffix in alphabetical order, indexed by direction key.
constexpr std::uint32_t AlphabeticalIndex[8] = {1, 2, 0, 5, 4, 6, 7, 3};

bool IsDirection(int direction) { return direction >= 0 && direction < 8; }

}  // namespace

const char* DirectionSuffix(int direction) { return IsDirection(direction) ? Suffixes[direction] : ""; }

std::uint32_t SheetResourceId(SheetGroup group, int direction) {
    if (!IsDirection(direction)) return 0;
    return InfoOf(group).firstId + AlphabeticalIndex[direction];
}

std::string SheetTextureName(SheetGroup group, int direction) {
    if (!IsDirection(direction)) return {};
    return std::string(InfoOf(group).prefix) + Suffixes[direction];
}
