#include "puzzle/puzzle_run.h"

PuzzleRun puzzleRun;
