#include "base/program_state.h"

ProgramState program;
