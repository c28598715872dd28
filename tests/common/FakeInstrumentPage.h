#pragma once
// The instrument page as the other pages see it: live reading, port and
// illuminant, with counters of what they asked of it.
#include "core/station/InstrumentPageLink.h"

namespace lt::testing {

struct FakeInstrumentPage : InstrumentPageLink {
    bool instrumentInitialised() const override { return initialised; }
    bool pauseLiveReading() override
    {
        ++pauses;
        const bool wasRunning = liveReading;
        liveReading = false;
        return wasRunning;
    }
    void resumeLiveReading() override
    {
        ++resumes;
        liveReading = true;
    }
    void selectIlluminant(int type) override { illuminant = type; }
    int portNumber() const override { return port; }
    bool portOpenForService() const override { return portOpen; }
    void endLiveReading() override
    {
        ++ends;
        liveReading = false;
    }

    bool initialised = true;
    bool liveReading = false;
    bool portOpen = false;
    int port = 1;
    int pauses = 0;
    int resumes = 0;
    int ends = 0;
    int illuminant = -1;
};

} // namespace lt::testing
