// Record board names: the parser takes exactly the names the solver makes, nothing near them.
#include "results/record_board_names.h"

#include <gtest/gtest.h>

#include <string>

TEST(RecordBoardNames, EveryNameTheSolverMakesReadsBackAsItsScoreAndCopy) {
    for (const int score : {0, 7, 463, perfectScore})
        for (const long long copy : {1LL, 2LL, 10LL, mostBoardCopies}) {
            const std::string name = recordBoardFileName(score, copy);
            const auto parsed = parseRecordBoardFileName(name);
            ASSERT_TRUE(parsed) << name;
            EXPECT_EQ(parsed->score, score) << name;
            EXPECT_EQ(parsed->copy, copy) << name;
        }
}

TEST(RecordBoardNames, NamesTheSolverNeverMakesAreNoRecordBoards) {
    for (const char* name :
         {"0463.tsr", "00.tsr", "463--5.tsr", "480-999999999999.tsr", "480-1000001.tsr",
          "480-1.tsr", "480-0.tsr", "480-02.tsr", "480-.tsr", "480-+2.tsr", "463-2-2.tsr",
          "481.tsr", "-468.tsr", "+468.tsr", "99999999999999999999.tsr", ".tsr", "468.tsr.tmp",
          "468.tsr.tmp123", "468.txt", "468", "468a.tsr", "best.tsr", " 468.tsr"})
        EXPECT_FALSE(parseRecordBoardFileName(name)) << name;
}
