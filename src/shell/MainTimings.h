#pragma once
// The intervals of the main window's timers and of the keep-alive and idle
// exit, as named values. The defaults are the client's; tests shorten them
// with MainTimings::Override so that no test waits for real minutes.

#include <cstdint>

struct MainTimingValues {
    int postTimerMs = 60000;        // keep-alive and idle-exit check
    uint32_t keepAliveMs = 360000;  // a keep-alive is due after 6 minutes
    uint32_t idleStepMs = 600000;   // one step of the idle exit: 10 minutes
    int secondMs = 1000;            // the unit of the refresh intervals
    int clockMs = 1000;             // the server clock
    int stripMs = 200;              // the indices strip
};

class MainTimings
{
public:
    using Values = MainTimingValues;

    static const Values &Current();

    // Replaces the values while it lives.
    class Override
    {
    public:
        explicit Override(const Values &values);
        ~Override();
        Override(const Override &) = delete;
        Override &operator=(const Override &) = delete;

    private:
        Values m_previous;
    };
};
