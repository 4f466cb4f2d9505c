// Resource ids and names of the 48 creature sheets, by group and direction.
#include "world/animation_sheets.h"

#include "core/resource_ids.h"

#include <array>

namespace {

using namespace ResourceId;
using DirectionSheets = std::array<std::uint32_t, 8>;  // indexed N, NE, E, SE, S, SW, W, NW

struct GroupSheets {
    const char* prefix;
    DirectionSheets ids;
};

constexpr GroupSheets FemaleRun{"female_zombie_run_",
    {FemaleZombieRunN, FemaleZombieRunNE, FemaleZombieRunE, FemaleZombieRunSE,
     FemaleZombieRunS, FemaleZombieRunSW, FemaleZombieRunW, FemaleZombieRunNW}};
constexpr GroupSheets FemaleWalk{"female_zombie_walk_",
    {FemaleZombieWalkN, FemaleZombieWalkNE, FemaleZombieWalkE, FemaleZombieWalkSE,
     FemaleZombieWalkS, FemaleZombieWalkSW, FemaleZombieWalkW, FemaleZombieWalkNW}};
constexpr GroupSheets MaleRun{"male_zombie_run_",
    {MaleZombieRunN, MaleZombieRunNE, MaleZombieRunE, MaleZombieRunSE,
     MaleZombieRunS, MaleZombieRunSW, MaleZombieRunW, MaleZombieRunNW}};
constexpr GroupSheets MaleWalk{"male_zombie_walk_",
    {MaleZombieWalkN, MaleZombieWalkNE, MaleZombieWalkE, MaleZombieWalkSE,
     MaleZombieWalkS, MaleZombieWalkSW, MaleZombieWalkW, MaleZombieWalkNW}};
constexpr GroupSheets SoldierWalkSheets{"swat_soldier_walk_",
    {SwatSoldierWalkN, SwatSoldierWalkNE, SwatSoldierWalkE, SwatSoldierWalkSE,
     SwatSoldierWalkS, SwatSoldierWalkSW, SwatSoldierWalkW, SwatSoldierWalkNW}};
constexpr GroupSheets SoldierHitSheets{"swat_soldier_hit_",
    {SwatSoldierHitN, SwatSoldierHitNE, SwatSoldierHitE, SwatSoldierHitSE,
     SwatSoldierHitS, SwatSoldierHitSW, SwatSoldierHitW, SwatSoldierHitNW}};

// Each group is drawn by a renderer of one frame count (sprite_renderer.cpp); every sheet of the
// group must hold exactly that many frames, as the art generator drew them.
constexpr bool AllSheetsHaveFrames(const GroupSheets& group, std::uint32_t frames) {
    for (const std::uint32_t id : group.ids)
        if (SheetFrameCount(id) != frames) return false;
    return true;
}
static_assert(AllSheetsHaveFrames(FemaleRun, 25) && AllSheetsHaveFrames(FemaleWalk, 36));
static_assert(AllSheetsHaveFrames(MaleRun, 25) && AllSheetsHaveFrames(MaleWalk, 35));
static_assert(AllSheetsHaveFrames(SoldierWalkSheets, 25) && AllSheetsHaveFrames(SoldierHitSheets, 36));

const GroupSheets& SheetsOf(SheetGroup group) {
    switch (group) {
        case SheetGroup::FemaleZombieRun: return FemaleRun;
        case SheetGroup::FemaleZombieWalk: return FemaleWalk;
        case SheetGroup::MaleZombieRun: return MaleRun;
        case SheetGroup::MaleZombieWalk: return MaleWalk;
        case SheetGroup::SoldierWalk: return SoldierWalkSheets;
        case SheetGroup::SoldierHit: return SoldierHitSheets;
    }
    return FemaleRun;
}

constexpr const char* Suffixes[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};

bool IsDirection(int direction) { return direction >= 0 && direction < 8; }

}  // namespace

std::uint32_t SheetResourceId(SheetGroup group, int direction) {
    return IsDirection(direction) ? SheetsOf(group).ids[static_cast<std::size_t>(direction)] : 0;
}

std::string SheetTextureName(SheetGroup group, int direction) {
    if (!IsDirection(direction)) return {};
    return std::string(SheetsOf(group).prefix) + Suffixes[direction];
}
