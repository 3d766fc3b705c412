#pragma once

class TGame;

// Lets the camera chase the hero at a fixed rate after he has moved: it rests while his screen
// position stays within x 497...503 and y 334...346, and the screen's bottom edge never goes
// below the level's bottom line.
void follow_hero(TGame& game);
