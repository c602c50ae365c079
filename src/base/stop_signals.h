// The rule shared by the solver and tessaly-farm for repeated stop signals.
#pragma once

#include <signal.h>

#include <array>
#include <cstdint>

// The signals that ask a program to stop: Ctrl-C, kill and a terminal that went away.
inline constexpr std::array<int, 3> stopSignalNumbers{SIGINT, SIGTERM, SIGHUP};

// The stop signals as a set, for sigprocmask and sigwait.
inline sigset_t stopSignalSet() {
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signalNumber : stopSignalNumbers)
        sigaddset(&stops, signalNumber);
    return stops;
}

// Signals that arrive this soon after the first belong to the same stop: `timeout`, Slurm and
// service managers send SIGTERM to the process and again to its group, or forward it as well.
inline constexpr std::int64_t sameStopMs = 1000;

// Whether a stop signal at `nowMs` (monotonicMs) is only a copy of the first stop, received at
// `firstMs`.
inline bool isSameStop(std::int64_t firstMs, std::int64_t nowMs) {
    return nowMs - firstMs < sameStopMs;
}
