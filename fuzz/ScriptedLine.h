#pragma once
// An instrument line for the fuzz targets of the wire protocols: a
// pseudo-terminal whose instrument end answers every wait of the library for
// input with the next burst of a script, and a clock on which pauses and
// time-outs cost no real time. The library thus meets arbitrary replies,
// split, late, missing or surplus, at thousands of exchanges a second.
//
// Installed as the library's clock for its lifetime. Not thread-safe: the
// library must not run its own threads meanwhile.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "instrument/include/LtClock.h"

namespace lt::fuzz {

class ScriptedLine : public Clock {
public:
    // Real time a burst may take through the pseudo-terminal.
    static constexpr int kDeliveryMs = 50;

    ScriptedLine() : previous(&clock())
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            fail("cannot open a pseudo-terminal");
        const char* name = ::ptsname(master);
        if (!name)
            fail("pseudo-terminal without a name");
        slavePath = name;
        setClock(this);
    }
    ~ScriptedLine() override
    {
        setClock(previous);
        ::close(master);
    }
    ScriptedLine(const ScriptedLine&) = delete;
    ScriptedLine& operator=(const ScriptedLine&) = delete;

    // The device the library opens.
    const std::string& devicePath() const { return slavePath; }

    // The instrument's bursts from now on; an empty one lets a wait run into
    // its time-out. Once all are sent the instrument stays silent.
    void play(std::vector<std::string_view> script)
    {
        bursts = std::move(script);
        next = 0;
        pending = {};
    }

    // Discards what the library has sent.
    void drain()
    {
        char sink[4096];
        while (::read(master, sink, sizeof sink) > 0) { }
    }

    std::uint64_t nowMs() override { return now; }

    // No system call here: the library may pause in short steps for a long
    // fake time (waiting for an integration of minutes).
    void sleepMs(std::uint32_t ms) override { now += ms; }

    int waitFd(int fd, short events, std::uint32_t timeoutMs) override
    {
        drain();
        pollfd entry {fd, events, 0};
        if (::poll(&entry, 1, 0) > 0)
            return entry.revents;
        if ((events & POLLIN) && sendBurst(fd) && ::poll(&entry, 1, kDeliveryMs) > 0)
            return entry.revents;
        now += timeoutMs;
        return 0;
    }

private:
    // Writes the rest of the current burst, or the next one, as far as the
    // line takes it. False when nothing was written that the reader of fd
    // will see: then there is nothing to wait for.
    bool sendBurst(int fd)
    {
        if (pending.empty()) {
            if (next >= bursts.size())
                return false;
            pending = bursts[next++];
            if (pending.empty())
                return false; // a silent turn
        }
        const ssize_t written = ::write(master, pending.data(), pending.size());
        if (written <= 0)
            return false;
        const std::string_view sent = pending.substr(0, static_cast<std::size_t>(written));
        pending.remove_prefix(sent.size());
        return reachesReader(fd, sent);
    }

    // With XON/XOFF flow control on its input the line itself takes the
    // start and stop characters: a burst of nothing else never reaches the
    // reader (and its wait would cost kDeliveryMs of real time).
    static bool reachesReader(int fd, std::string_view sent)
    {
        termios line {};
        if (::tcgetattr(fd, &line) != 0 || !(line.c_iflag & IXON))
            return true;
        const char taken[] = {static_cast<char>(line.c_cc[VSTART]),
            static_cast<char>(line.c_cc[VSTOP])};
        return sent.find_first_not_of(std::string_view(taken, sizeof taken)) !=
            std::string_view::npos;
    }

    Clock* previous;
    int master = -1;
    std::string slavePath;
    std::vector<std::string_view> bursts;
    std::size_t next = 0;
    std::string_view pending;
    std::uint64_t now = 1000000;
};

} // namespace lt::fuzz
