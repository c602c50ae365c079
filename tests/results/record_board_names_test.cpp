// Record board names: the parser takes exactly the names the solver makes, nothing near them.
#include "results/record_board_names.h"

#include <gtest/gtest.h>

TEST(RecordBoardNames, OnlyTheNamesTheSolverMakesAreRecordBoards) {
    for (const long long copy : {1LL, 2LL, mostBoardCopies}) {
        const auto parsed = parseRecordBoardFileName(recordBoardFileName(0, copy));
        ASSERT_TRUE(parsed && parsed->score == 0 && parsed->copy == copy) << copy;
    }
    for (const char* name : {"0463.tsr", "463--5.tsr", "480-999999999999.tsr", "480-1000001.tsr",
                             "480-1.tsr", "480-02.tsr", "480-.tsr", "480-+2.tsr", "463-2-2.tsr",
                             "481.tsr", "+468.tsr", ".tsr", "468.tsr.tmp123", "468.txt"})
        EXPECT_FALSE(parseRecordBoardFileName(name)) << name;
}
