// What each translation unit of the depth steps gives the others: the search under its rules
// and its table of steps by depth.
#pragma once

// The search of a run from depth 0 under the solver's rules, with the group rules or without.
void searchWithGroupRules();
void searchWithoutGroupRules();
// The search of a run without group rules that keeps its deepest board.
void searchKeepingDeepest();
// The search of a run on the steps with options.
void searchWithOptions();
// The step of `depth` under the group rules, or on the steps with options.
void stepUnderGroupRules(int depth);
void stepWithOptions(int depth);
