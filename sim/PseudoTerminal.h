// The instrument's end of a pseudo-terminal: the master side, with the slave
// side kept open so that the line survives the program closing and reopening
// its port, and so that the line speed the program sets can be read.
#pragma once

#include <string>

namespace ltsim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a raw pseudo-terminal; the master side is non-blocking.
    bool open(std::string* error);
    void close();
    bool isOpen() const { return master_ >= 0; }

    int masterFd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Line speed [baud] the program has set on its side of the line; 0 when unknown.
    unsigned lineSpeed() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace ltsim
