// The list of the search options: a new option is a file of its own with a type like these (a
// static `row`, and hooks into the steps if it acts inside the search) and a name here. The order
// is the table's: the bench's help, the groups file's words and the start-up lines follow it, and
// the steps with options call the hooks in it, so a cheap test that refuses comes before a dear
// one (the bound's few additions before the look-ahead's walk).
#pragma once

#include "base/search_option_row.h"
#include "puzzle/colour_scarcity.h"
#include "search/depth_profile.h"
#include "search/mismatch_bound.h"
#include "search/rim_look_ahead.h"

using SearchOptionList =
    OptionList<MismatchBoundOption, RimLookAheadOption, ProfileOption, ScarcityOption>;
