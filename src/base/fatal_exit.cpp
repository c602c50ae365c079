#include "base/fatal_exit.h"

#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "base/console.h"

void fatalExit() {
    // Signals held during the start-up come in now and end the program as they would have.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_UNBLOCK, &all, nullptr);
    if (!process.fatalExitWaits) {
        std::fflush(nullptr);
        std::_Exit(1);
    }
    printOut("Press enter to exit\n");
    char answer = 0;
    // At the end of standard input scanf returns at once, so a closed input never hangs here.
    if (std::scanf("%c", &answer) < 0) answer = 0;
    std::fflush(nullptr);
    // _Exit: another thread may still be searching; no static destructors may run under it.
    std::_Exit(1);
}
