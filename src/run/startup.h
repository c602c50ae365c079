// The program's start-up on the main thread: directory, pieces, tables, argument, banner.
#pragma once

#include <cstdint>

inline constexpr int pathCapacity = 500;  // 499 characters and the terminator

// The start directory, extended by the "-o" argument; printed, and the input of the seed.
extern char workingDirectory[pathCapacity];
// The start directory and "/k7pieces.txt".
extern char pieceFilePath[pathCapacity + 20];
// BoardFile to load at the start of every run; empty when none was named.
extern char boardPath[pathCapacity];
// Wall clock at start-up, in seconds.
extern std::int64_t programStartTime;

// Runs the start-up steps up to the first run: reads the pieces from the start directory,
// builds the candidate tables, handles the first argument and prints the banner. Ends the
// program through fatalExit on a fault.
void startUp(int argc, char** argv);
