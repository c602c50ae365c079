// The statistics report: since the previous report, since start and the grand total.
#pragma once

#include <array>

// Comment on a best mismatch count, 0 to 19, and 20 for no full board.
inline constexpr std::array<const char*, 21> gradeText{
    "2M$!!!!?",       "impossible",  "almost there", "3 to go", "4 left",
    "great!!",        "fantastic!!", "terriffic!!",  "yes",     "incredible!",
    "extra-ordinary", "tough!",      "wow!!",        "hmmmmm!", "cool!",
    "promising!",     "quite ok",    "not too bad",  "hmm",     "ok for a beginner",
    "could be better"};

// Prints the 63-column statistics table, remembers sinceStart for the next report's
// differences and makes the next imperfect full board open a new tally line.
void printStatisticsReport();
