#include "run/fatal_exit.h"

#include <cstdio>
#include <cstdlib>

#include "run/console.h"

void fatalExit() {
    printOut("Press enter to exit\n");
    char answer = 0;
    // At the end of standard input scanf returns at once, so a closed input never hangs here.
    if (std::scanf("%c", &answer) < 0) answer = 0;
    std::fflush(nullptr);
    // _Exit: another thread may still be searching; no static destructors may run under it.
    std::_Exit(1);
}
