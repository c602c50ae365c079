// Entry of the solver: the start-up, then the endless run loop.
#include "run/run_loop.h"
#include "run/startup.h"

int main(int argc, char** argv) {
    catchStopSignals();
    startUp(argc, argv);
    saveStatisticsAtEnds();
    runForever();
}
