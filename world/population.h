// Keeps the crowd going: the first twenty creatures, one more every 2.5 s of frame time, the
// per-frame draw order (grouped by renderer, not by depth), and the creatures' teardown.
#pragma once

#include "world/placement.h"

#include <utility>
#include <vector>

class GameObject;
class FrameStripRenderer;

// The crowd's state between frames, owned by the show mode and handed to the frame loop.
struct Population {
    static constexpr int FirstCrowd = 20;

    int spawnIndex = 0;  // creatures spawned so far in the run; names the next one
    SpawnTimer timer;
    // The draw order, rebuilt every frame; kept here so its storage is reused across frames.
    std::vector<GameObject*> drawSequence;
    // Each creature with its renderer, looked up once per frame rather than once per comparison.
    std::vector<std::pair<const FrameStripRenderer*, GameObject*>> sortScratch;
};

// One random creature at the back of the list: a state draw (walk or run), then a gender draw
// (even: male, odd: female), then the constructor's three. Advances the spawn index.
void SpawnZombie(ScreenSize screen, Population& population);

// The crowd that starts the run: spawn indices 0 to 19, in creation order.
void SpawnFirstCrowd(ScreenSize screen, Population& population);

// Once per frame, after the update: at most one creature when 2.5 s have gathered.
void RunTimedSpawn(float deltaTime, ScreenSize screen, Population& population);

// The renderer a creature is drawn with, which is the key of the draw order; none when its set
// has no renderer for its state.
const FrameStripRenderer* RendererOf(const GameObject& creature);

// Fills the draw sequence with the list's creatures in list order, then sorts it by renderer
// (by address, ascending) so creatures sharing a renderer are drawn one after another. The
// order within a group is unspecified; the list keeps its own order.
void BuildDrawSequence(Population& population);

// The creature draw pass: builds the draw order and draws every creature in it.
void DrawCreatures(float deltaTime, Population& population);

// Deletes every creature in list order and empties the list.
void DestroyCreatures();
