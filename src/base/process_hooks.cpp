#include "base/process_hooks.h"

ProcessHooks process;
