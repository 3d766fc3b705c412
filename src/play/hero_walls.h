#pragma once
// The hero against the walls: four tests per wall (ceiling, floor, right side, left side), each
// seeing the hero as the tests before it left him, wall after wall in list order.

class TPlayer;
class TWall;
class WallGrid;

// The four tests of one wall; true if any of them hit.
bool collide_with_wall(TPlayer& hero, const TWall& wall);

// Every wall of the grid's list, with the same outcome as applying collide_with_wall to each wall
// in list order: only walls touching the hero's boxes can change him, so only those are visited,
// still in list order, and the search starts again from the next wall whenever one hits.
void collide_with_walls(TPlayer& hero, WallGrid& walls);
