// SPDX-License-Identifier: MIT
#include "shell/Timer.h"

#include "sys/Feed.h"

Timer::Timer() : time0(0.0), elapsed(0.0), running(false) { Reset(); }

double Timer::QueryTime() { return static_cast<double>(FeedTicks()) / 1000.0; }

void Timer::Start() {
    if (running) elapsed = 0.0;
    running = true;
    time0 = QueryTime();
}

void Timer::Stop() {
    if (!running) return;
    running = false;
    elapsed += QueryTime() - time0;
}

void Timer::Reset() {
    running = false;
    elapsed = 0.0;
}

double Timer::GetTime() {
    if (running) return QueryTime() + elapsed - time0;
    return elapsed;
}
