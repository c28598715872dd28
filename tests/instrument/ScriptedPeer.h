#pragma once
// The instrument's end of a pseudo-terminal, playing a script: for each step
// it reads the bytes of one request, notes them and the line's baud rate,
// and then answers, stays silent or hangs up. Everything it receives is kept
// in order, so a test can compare the bytes the library sent exactly.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lt::test {

class ScriptedPeer {
public:
    enum class Then { Reply, Silence, HangUp };
    struct Step {
        std::string request; // the peer reads this many bytes
        std::string reply;
        Then then = Then::Reply;
        std::uint32_t onlyAtRate = 0; // nonzero: `reply` only at this baud rate...
        std::string wrongRateReply; // ...and this at any other
    };
    static Step answer(std::string request, std::string reply)
    {
        return {std::move(request), std::move(reply), Then::Reply, 0, {}};
    }
    static Step silence(std::string request)
    {
        return {std::move(request), {}, Then::Silence, 0, {}};
    }
    static Step hangUp(std::string request)
    {
        return {std::move(request), {}, Then::HangUp, 0, {}};
    }

    ScriptedPeer();
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    // The device path the library opens.
    const std::string& devicePath() const { return m_devicePath; }
    // Answers like a line at this rate: each request takes its time on the
    // wire before the answer starts, and the answer's bytes are paced.
    void paceAt(std::uint32_t baud) { m_pacingBaud = baud; }
    void play(std::vector<Step> script);
    // Waits until every step has been played (or a few seconds have passed).
    bool finished(int realMs = 5000);
    void stop();

    std::string received() const;
    std::vector<std::uint32_t> ratesSeen() const;
    // Nothing unread from the library and no answer being written.
    bool quiet() const;
    // Every byte read since construction, over all scripts.
    std::uint64_t totalReceived() const { return m_totalReceived; }

private:
    void run();
    bool readRequest(std::size_t length, std::string& request);
    void writeAnswer(const std::string& bytes, std::size_t requestBytes);
    std::uint32_t currentRate() const;

    std::atomic<int> m_master {-1};
    int m_slaveView = -1; // only to read the line settings the library set
    std::string m_devicePath;
    std::vector<Step> m_script;
    std::thread m_thread;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_busy {false};
    std::atomic<bool> m_done {false};
    std::atomic<std::uint32_t> m_pacingBaud {0};
    std::atomic<std::uint64_t> m_totalReceived {0};
    mutable std::mutex m_mutex;
    std::string m_received;
    std::vector<std::uint32_t> m_rates;
};

// ":" and the CR LF of a reply.
inline std::string line(const std::string& text)
{
    return text + "\r\n";
}

} // namespace lt::test
