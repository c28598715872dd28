#include "core/service/SRecordDecoder.h"

#include "core/common/NumberText.h"

namespace lt {

namespace {

constexpr std::size_t kHeaderCharacters = 4; // "S", type, two count digits
constexpr unsigned kChecksumBytes = 1;

std::string hexByte(unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[(value >> 4) & 0xF], digits[value & 0xF]};
}

std::string hexAddress(std::uint64_t address)
{
    constexpr std::uint64_t kLargest24Bit = 0xFFFFFF;
    std::string text;
    for (int shift = address > kLargest24Bit ? 24 : 16; shift >= 0; shift -= 8)
        text += hexByte(static_cast<unsigned>(address >> shift));
    return text;
}

// A character as the operator can read it in a message.
std::string shownCharacter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code > ' ' && code < 0x7F)
        return std::string("\"") + c + "\"";
    return "code " + hexByte(code) + "h";
}

enum class RecordUse { Header, Data, Count, Start };

struct RecordType {
    RecordUse use;
    unsigned addressBytes;
};

// The record types of the format; S4 is reserved and has no meaning.
bool recordType(char type, RecordType& out)
{
    switch (type) {
    case '0':
        out = {RecordUse::Header, 2};
        return true;
    case '1':
        out = {RecordUse::Data, 2};
        return true;
    case '2':
        out = {RecordUse::Data, 3};
        return true;
    case '3':
        out = {RecordUse::Data, 4};
        return true;
    case '5':
        out = {RecordUse::Count, 2};
        return true;
    case '6':
        out = {RecordUse::Count, 3};
        return true;
    case '7':
        out = {RecordUse::Start, 4};
        return true;
    case '8':
        out = {RecordUse::Start, 3};
        return true;
    case '9':
        out = {RecordUse::Start, 2};
        return true;
    default:
        return false;
    }
}

class Decoder {
public:
    SRecordDecoding run(std::string_view text)
    {
        if (text.size() > kFirmwareFileLimit)
            return refuse(
                0, "the file holds more than " + formatInteger(kFirmwareFileLimit) + " bytes");
        int lineNumber = 0;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            ++lineNumber;
            std::string_view line = text.substr(start, end - start);
            start = end + 1;
            while (
                !line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.remove_suffix(1);
            if (line.empty())
                continue;
            if (!record(line, lineNumber))
                return result;
        }
        if (result.dataRecords == 0)
            return refuse(0, "the file holds no program data");
        result.ok = true;
        return result;
    }

private:
    SRecordDecoding refuse(int line, std::string reason)
    {
        result.image.clear();
        result.image.shrink_to_fit();
        result.ok = false;
        result.errorLine = line;
        result.error = std::move(reason);
        return result;
    }

    bool fail(int line, std::string reason)
    {
        refuse(line, std::move(reason));
        return false;
    }

    bool record(std::string_view line, int number)
    {
        if (line.size() > kSRecordMaxLineLength)
            return fail(number,
                "the line is " + formatInteger(static_cast<long long>(line.size())) +
                    " characters long, a record at most " + formatInteger(kSRecordMaxLineLength));
        if (line[0] != 'S')
            return fail(
                number, "the line does not begin with \"S\" but with " + shownCharacter(line[0]));
        if (line.size() < kHeaderCharacters)
            return fail(number, "the record ends before its count");
        RecordType type {};
        if (!recordType(line[1], type))
            return fail(number,
                "record type " + shownCharacter(line[1]) + " is not used in firmware files");
        for (std::size_t column = 2; column < line.size(); ++column) {
            if (hexDigitValue(line[column]) < 0)
                return fail(number,
                    shownCharacter(line[column]) + " in column " +
                        formatInteger(static_cast<long long>(column + 1)) + " is not a hex digit");
        }
        if (line.size() % 2 != 0)
            return fail(number, "the record ends in half a byte");

        bytes.clear();
        for (std::size_t column = 2; column < line.size(); column += 2)
            bytes.push_back(static_cast<std::uint8_t>(
                hexDigitValue(line[column]) << 4 | hexDigitValue(line[column + 1])));
        const unsigned count = bytes[0];
        const std::size_t following = bytes.size() - 1;
        if (following != count)
            return fail(number,
                std::string(following < count ? "the record is shorter" : "the record is longer") +
                    " than its count: " + formatInteger(count) + " bytes announced, " +
                    formatInteger(static_cast<long long>(following)) + " present");
        if (count < type.addressBytes + kChecksumBytes)
            return fail(
                number, "the count " + formatInteger(count) + " leaves no room for the address");

        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
            sum += bytes[i];
        const unsigned expected = ~sum & 0xFF;
        const unsigned written = bytes.back();
        if (written != expected)
            return fail(number,
                "checksum " + hexByte(written) + ", the record sums to " + hexByte(expected));

        std::uint64_t address = 0;
        for (unsigned i = 0; i < type.addressBytes; ++i)
            address = address << 8 | bytes[1 + i];
        const std::size_t dataBegin = 1 + type.addressBytes;
        const std::size_t dataEnd = bytes.size() - kChecksumBytes;

        switch (type.use) {
        case RecordUse::Data:
            return data(number, address, dataBegin, dataEnd);
        case RecordUse::Count:
            if (address != static_cast<std::uint64_t>(result.dataRecords))
                return fail(number,
                    "the record count " + formatInteger(static_cast<long long>(address)) +
                        " does not match the " + formatInteger(result.dataRecords) +
                        " data records before it");
            return true;
        case RecordUse::Header:
        case RecordUse::Start:
            return true;
        }
        return true;
    }

    bool data(int number, std::uint64_t address, std::size_t begin, std::size_t end)
    {
        const std::size_t next = result.image.size();
        if (address > next)
            return fail(number,
                "address " + hexAddress(address) + " leaves a gap after the data ending at " +
                    hexAddress(next));
        if (address < next)
            return fail(number,
                "address " + hexAddress(address) + " overlaps the data up to " + hexAddress(next));
        if (next + (end - begin) > kFirmwareImageLimit)
            return fail(number,
                "the program image grows beyond " + formatInteger(kFirmwareImageLimit) + " bytes");
        result.image.insert(result.image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(begin),
            bytes.begin() + static_cast<std::ptrdiff_t>(end));
        ++result.dataRecords;
        return true;
    }

    SRecordDecoding result;
    std::vector<std::uint8_t> bytes;
};

} // namespace

SRecordDecoding decodeSRecords(std::string_view text)
{
    return Decoder().run(text);
}

std::string describeRefusal(const SRecordDecoding& decoding)
{
    if (decoding.errorLine <= 0)
        return decoding.error;
    return "line " + formatInteger(decoding.errorLine) + ": " + decoding.error;
}

} // namespace lt
