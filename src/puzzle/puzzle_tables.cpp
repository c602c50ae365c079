#include "puzzle/puzzle_tables.h"

PuzzleTables puzzle;
