// Helpers of the fuzz targets: inputs as files the solver's readers can open, a quiet console.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Replaces the content of a file in memory by `size` bytes at `data` and returns a path that
// opens it (one file per process, reused by every call).
std::string memoryFile(const std::uint8_t* data, std::size_t size);
// Sends everything printed through printOut and printErr to /dev/null.
void quietConsole();
// Aborts with `what` on the error stream when `holds` is false, so libFuzzer keeps the input.
void require(bool holds, const char* what);
