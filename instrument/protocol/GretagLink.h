#pragma once
// Building blocks of the spectrophotometers' ASCII exchanges: a request
// under construction, a reply as received, and the link that sends and
// receives them with the blocking or the waiting primitives according to
// the library's direct-I/O flag.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "instrument/platform/SerialPort.h"

namespace lt {

// A request: lead character, command code, parameters, then CR LF.
class Message {
public:
    static constexpr std::size_t kCapacity = 272; // longest: "D" and a 258-byte firmware block

    Message() = default;
    explicit Message(std::string_view text) { append(text); }
    Message& append(std::string_view text);
    Message& append(char c);
    Message& appendBytes(const std::uint8_t* bytes, std::size_t length);
    Message& appendHex16(std::uint16_t value);
    Message& appendHex32(std::uint32_t value);
    Message& endLine() { return append("\r\n"); }

    const char* data() const { return m_text; }
    std::size_t size() const { return m_length; }
    std::string_view view() const { return {m_text, m_length}; }

private:
    char m_text[kCapacity] = {};
    std::size_t m_length = 0;
};

// A reply of known length. Bytes that did not arrive read as NUL, so that
// nothing of an earlier reply can be mistaken for this one.
class Reply {
public:
    static constexpr std::size_t kCapacity = 512;

    void reset(std::size_t expected);
    char* buffer() { return m_text; }
    std::size_t expected() const { return m_expected; }
    void setReceived(std::size_t count) { m_received = count; }
    std::size_t received() const { return m_received; }
    bool complete() const { return m_received >= m_expected; }

    // Keeps the bytes from column on as the start of the next reply.
    void keepFrom(std::size_t column);

    std::string_view text() const { return {m_text, m_received}; }
    char at(std::size_t column) const { return column < m_received ? m_text[column] : '\0'; }
    bool startsWith(std::string_view prefix) const
    {
        return text().substr(0, prefix.size()) == prefix;
    }
    bool hasAt(std::size_t column, std::string_view expected) const
    {
        return column <= m_received && text().substr(column, expected.size()) == expected;
    }

private:
    char m_text[kCapacity] = {};
    std::size_t m_expected = 0;
    std::size_t m_received = 0;
};

// The headers of the replies a request accepts: ":" or "=" and the two
// characters of the answer code (a shorter prefix accepts more codes).
struct ReplyKinds {
    std::string_view first;
    std::string_view second = {};
    bool accepts(const Reply& reply) const;
};

// The instrument's refusal of a request.
inline constexpr std::string_view kRefusalHeader = ":26";

// The value of a decimal numeral character, or -1.
int numeralValue(char c);
// The decimal number of at most maxDigits numerals from column on; digits
// end at the first other character (no numeral gives 0).
unsigned long decimalAt(const Reply& reply, std::size_t column, std::size_t maxDigits);

// The pauses around a change of the local line rate [ms]: before the purge,
// after it, between reading and writing the line settings, after the change.
struct RateChangePauses {
    unsigned long beforePurge;
    unsigned long afterPurge;
    unsigned long beforeWrite;
    unsigned long afterWrite;
};

// How one request and its reply travel [ms]: the transfer mode, the write's
// time-out, the read's poll interval and time-out, and a pause between the
// request and the reading of its reply (none when 0).
struct ExchangeTiming {
    unsigned mode;
    unsigned long writeTimeoutMs;
    unsigned long pollMs;
    unsigned long readTimeoutMs;
    unsigned long pauseMs = 0;
};

class GretagLink {
public:
    // transferCount receives the byte count of every transfer.
    GretagLink(void* handle, unsigned long& transferCount)
        : m_handle(handle), m_count(transferCount)
    {
    }

    unsigned long send(const Message& message, unsigned mode, unsigned long timeoutMs);
    unsigned long receive(Reply& reply, std::size_t length, unsigned long pollMs, unsigned mode,
        unsigned long timeoutMs);
    // Reads the reply of one of the accepted kinds. A complete reply of
    // another kind (a late answer to an earlier request) is dropped through
    // its line end and the wait goes on within the same time-out. Returns 0
    // with a complete accepted reply; the read's failure code; or 10001 for
    // a reply cut short, garbled or refused (":26", unless accepted).
    unsigned long receiveAnswer(Reply& reply, std::size_t length, ReplyKinds accepted,
        unsigned long pollMs, unsigned mode, unsigned long timeoutMs);
    // Sends the request and reads its reply of length bytes, as receiveAnswer.
    unsigned long exchange(const Message& request, Reply& reply, std::size_t length,
        ReplyKinds accepted, const ExchangeTiming& timing);
    void purge();
    void pause(unsigned long ms);
    // Sets the local line to a new rate once the instrument has been told to
    // switch, giving it the pauses to change over. False, with errno in
    // lastError, when the line refuses.
    bool changeRate(std::uint32_t rate, const RateChangePauses& pauses, LtLineSettings& settings,
        unsigned long& lastError);
    void* handle() const { return m_handle; }

private:
    void* m_handle;
    unsigned long& m_count;
};

} // namespace lt
