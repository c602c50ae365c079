// How a run ended, and the one table of what each end prints: the mark the solver shows on the
// console, and the name the bench's profile counts it by.
#pragma once

#include <array>

enum class RunEnd {
    running,        // not ended yet
    earlyFailure,   // no deep square by earlyFailureNodes
    concentration,  // spent its nodes too shallow at a doubling check
    noBoard,        // no full board in the window of noBoardFrom to noBoardUntil
    fewBoards,      // too few full boards since the last checkpoint
    fewBoardsLate,  // too few at a checkpoint past longRunNodes
    exhausted,      // its whole search space tried
    nodeLimit,      // the run node limit reached (the bench's node total, the trial's cap)
    stopRequest,    // the user asked the program to stop
};

struct RunEndText {
    RunEnd end;
    const char* mark;  // what the console shows as the run ends
    const char* name;  // in tessaly-bench --profile's "run ends"
};
// In the order the profile shows them; a stop request ends no benchmark, so it comes last.
inline constexpr std::array<RunEndText, 8> runEndTexts{{
    {RunEnd::earlyFailure, "-", "-"},
    {RunEnd::concentration, "\\", "\\"},
    {RunEnd::noBoard, "_", "_"},
    {RunEnd::fewBoards, "):\n", "):"},
    {RunEnd::fewBoardsLate, "", "none"},
    {RunEnd::exhausted, "", "exhausted"},
    {RunEnd::nodeLimit, "", "node total"},
    {RunEnd::stopRequest, "", "stopped"},
}};

// The texts of `end` (a run that has ended).
constexpr const RunEndText& runEndText(RunEnd end) {
    for (const RunEndText& text : runEndTexts)
        if (text.end == end) return text;
    return runEndTexts.back();
}
