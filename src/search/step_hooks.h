// The hooks by which a search option acts inside the search. An option that derives from
// StepHooks is one of the step options: while its value is not 0 a run takes the steps with
// options, which call its hooks in the order of the option list; the solver's own steps never
// do. It hides the hooks it needs with its own static functions of the same form; the others
// do nothing and cost nothing.
#pragma once

#include <concepts>
#include <cstdint>

#include "puzzle/piece_code.h"

// The record of type Record that a search option keeps for the current run (its Record), held
// with the run's options (runOptions, search_options.h, which defines this): every run starts
// from a fresh one.
template <class Record>
Record& runRecord();

struct StepHooks {
    // At the start of every search with options, with the option's value in the run (0 when the
    // option is off or the search has no options): sets the option's record up for the search
    // and returns the value it acts with, 0 where it cannot act.
    static std::int64_t startSteps(std::int64_t value) { return value; }
    // Before a search that starts at `depth` with the board filled up to it in fill order.
    static void resumeAt(int /*depth*/) {}
    // On every entry into the step of depth D, before it places anything.
    template <int D>
    static void enter() {}
    // Whether the placement of `code` (of `piece`) on the square of depth D, exactly or with one
    // mismatched edge, is refused. A placement an option does not refuse is taken on by it and
    // given back with giveBack once its deeper call has returned (or once a later option
    // refused it).
    template <int D, bool exact>
    static bool refuses(PieceCode /*code*/, int /*piece*/) {
        return false;
    }
    template <int D, bool exact>
    static void giveBack(PieceCode /*code*/, int /*piece*/) {}
};

template <class Option>
concept ActsInSteps = std::derived_from<Option, StepHooks>;
