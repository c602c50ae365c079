// The pool of child processes: each child is collected with its tag, its status and what it wrote
// (cut at the longest output), its body starts with the signals asked for still blocked, and a
// stop signal is taken in turn and leaves no child running.
#include "tools/common/child_pool.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace {

void writeText(int output, const std::string& text) {
    if (write(output, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(99);
}

}  // namespace

TEST(ChildPool, CollectsEveryChildWithItsStatusAndWhatItWroteCutAtTheLongestOutput) {
    ChildPool pool(8, {SIGUSR1});
    std::string error;
    const std::string texts[] = {"short", "longer than eight", ""};
    for (std::size_t tag = 0; tag < 3; ++tag)
        ASSERT_TRUE(pool.start(
            tag,
            [&texts, tag](int output) {
                writeText(output, texts[tag]);
                sigset_t mask;
                sigprocmask(SIG_SETMASK, nullptr, &mask);
                // Blocked as asked, and nothing else the pool blocks in this program.
                if (tag == 2 && sigismember(&mask, SIGUSR1) && !sigismember(&mask, SIGCHLD))
                    writeText(output, "kept");
                _exit(static_cast<int>(tag) + 3);
            },
            error))
            << error;
    std::string outputs[3];
    for (int ended = 0; ended < 3;) {
        EXPECT_EQ(pool.wait(std::chrono::milliseconds(200)), 0);
        for (const EndedChild& child : pool.collect()) {
            ASSERT_LT(child.tag, 3u);
            EXPECT_TRUE(WIFEXITED(child.status));
            EXPECT_EQ(WEXITSTATUS(child.status), static_cast<int>(child.tag) + 3);
            outputs[child.tag] = child.output;
            ++ended;
        }
    }
    EXPECT_EQ(outputs[0], "short");
    EXPECT_EQ(outputs[1], "longer t");
    EXPECT_EQ(outputs[2], "kept");
    EXPECT_EQ(pool.running(), 0u);
}

TEST(ChildPool, TakesAStopSignalInTurnAndEndsTheChildrenStillRunning) {
    {
        ChildPool pool(16);
        std::string error;
        ASSERT_TRUE(pool.start(
            0, [](int) { pause(); }, error))
            << error;
        ASSERT_EQ(kill(getpid(), SIGTERM), 0);  // blocked while the pool lives
        EXPECT_EQ(pool.wait(std::chrono::seconds(5)), SIGTERM);
        pool.endAll();
        EXPECT_EQ(pool.running(), 0u);
        EXPECT_TRUE(pool.collect().empty());
    }
    sigset_t mask;
    sigprocmask(SIG_SETMASK, nullptr, &mask);
    EXPECT_FALSE(sigismember(&mask, SIGTERM));
    EXPECT_FALSE(sigismember(&mask, SIGCHLD));
}
