// The keys a sprite's sheets are filed under: the heading it faces and the animation state it
// is in. Creatures use them all; a desktop icon has one state and one heading.
#pragma once

// Headings, clockwise from north (up the screen).
enum Direction : int { N = 0, NE = 1, E = 2, SE = 3, S = 4, SW = 5, W = 6, NW = 7 };
// Animation states; creatures hold Walk or Run, the soldier set also has Hit.
enum AnimationStateKey : int { Walk = 0, Run = 1, Hit = 3 };
