// The program's start-up on the main thread: directory, pieces, tables, argument, banner.
#pragma once

#include <cstdint>

#include "base/settings.h"

// Runs the start-up steps up to the first run: reads the pieces from the start directory,
// builds the candidate tables, handles the first argument and prints the banner. Ends the
// program through fatalExit on a fault.
void startUp(int argc, char** argv);
