// SPDX-License-Identifier: MIT
// A stopwatch over the game's millisecond clock (Feed).
#ifndef KORVALEND_TIMER_H
#define KORVALEND_TIMER_H

class Timer {
public:
    Timer();
    ~Timer() {}
    // Restarts from zero when already running; resumes when stopped.
    void Start();
    void Stop();
    void Reset();
    double GetTime();
    bool IsRunning() const { return running; }

private:
    double QueryTime();
    double time0;
    double elapsed;
    bool running;
};

#endif
