// Entry of the solver: the start-up, then the endless run loop.
#include "run/startup.h"

int main(int argc, char** argv) {
    startUp(argc, argv);
    return 0;
}
