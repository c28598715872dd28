// Firmware files: what is accepted, what refuses the whole file and with
// which line named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SRecordText.h"
#include "core/service/SRecordDecoder.h"

namespace lt {
namespace {

using testing::programImage;
using testing::sRecord;
using testing::sRecordText;

const std::vector<std::uint8_t> kImage = programImage(100);

// The generated file: S0 on line 1, S2 records of 32 bytes on lines 2 to 5,
// S8 on line 6.
std::string goodFile()
{
    return sRecordText(kImage);
}

std::string replaceLine(const std::string& text, int lineNumber, const std::string& line)
{
    std::size_t start = 0;
    for (int i = 1; i < lineNumber; ++i)
        start = text.find('\n', start) + 1;
    const std::size_t end = text.find('\n', start) + 1;
    return text.substr(0, start) + line + text.substr(end);
}

std::string lineOf(const std::string& text, int lineNumber)
{
    std::size_t start = 0;
    for (int i = 1; i < lineNumber; ++i)
        start = text.find('\n', start) + 1;
    return text.substr(start, text.find('\n', start) + 1 - start);
}

struct AcceptedCase {
    const char* name;
    std::string text;
};

class AcceptedFiles : public ::testing::TestWithParam<AcceptedCase> { };

TEST_P(AcceptedFiles, GiveTheImageByteForByte)
{
    const SRecordDecoding decoding = decodeSRecords(GetParam().text);
    ASSERT_TRUE(decoding.ok) << describeRefusal(decoding);
    EXPECT_EQ(decoding.image, kImage);
    EXPECT_EQ(decoding.dataRecords, 4);
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string lineFeedsOnly(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

// The same 100 bytes as S1 and S3 records with a record count and end record.
std::string otherAddressWidths()
{
    std::string text;
    text += sRecord('1', 0, 2, kImage.data(), 32);
    text += sRecord('3', 32, 4, kImage.data() + 32, 32);
    text += sRecord('2', 64, 3, kImage.data() + 64, 36);
    text += sRecord('1', 100, 2, nullptr, 0); // empty data record at the end
    const std::uint8_t none[1] = {};
    text += sRecord('5', 4, 2, none, 0);
    text += sRecord('9', 0, 2, none, 0);
    return text;
}

INSTANTIATE_TEST_SUITE_P(SRecords, AcceptedFiles,
    ::testing::Values(AcceptedCase {"CrLf", goodFile()},
        AcceptedCase {"LowerCaseHex", "S" + lowerCase(goodFile()).substr(1)},
        AcceptedCase {"LineFeedsOnly", lineFeedsOnly(goodFile())},
        AcceptedCase {"BlankLinesAndTrailingBlanks",
            "\r\n" +
                replaceLine(goodFile(), 3,
                    lineOf(goodFile(), 3).insert(lineOf(goodFile(), 3).size() - 2, " \t")) +
                "\n   \r\n"},
        AcceptedCase {"NoLineEndAfterTheLastRecord", goodFile().substr(0, goodFile().size() - 2)},
        AcceptedCase {"WithoutHeaderAndEnd",
            lineOf(goodFile(), 2) + lineOf(goodFile(), 3) + lineOf(goodFile(), 4) +
                lineOf(goodFile(), 5)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SRecordDecoder, OtherAddressWidthsCountAsDataWhenTheyRunOn)
{
    const SRecordDecoding decoding = decodeSRecords(otherAddressWidths());
    ASSERT_TRUE(decoding.ok) << describeRefusal(decoding);
    EXPECT_EQ(decoding.image, kImage);
}

struct RefusedCase {
    const char* name;
    std::string text;
    int line;
    const char* reason; // part of the message
};

class RefusedFiles : public ::testing::TestWithParam<RefusedCase> { };

TEST_P(RefusedFiles, NameTheLineAndGiveNoImage)
{
    const RefusedCase& c = GetParam();
    const SRecordDecoding decoding = decodeSRecords(c.text);
    EXPECT_FALSE(decoding.ok);
    EXPECT_TRUE(decoding.image.empty());
    EXPECT_EQ(decoding.errorLine, c.line);
    EXPECT_NE(decoding.error.find(c.reason), std::string::npos) << decoding.error;
    if (c.line > 0) {
        EXPECT_EQ(describeRefusal(decoding).rfind("line " + std::to_string(c.line) + ": ", 0), 0u);
    }
}

std::string flipChecksum(const std::string& line)
{
    std::string changed = line;
    const std::size_t at = changed.size() - 3; // last checksum digit before CR LF
    changed[at] = changed[at] == '0' ? '1' : '0';
    return changed;
}

std::string flipDataDigit(const std::string& line)
{
    std::string changed = line;
    changed[12] = changed[12] == '0' ? '1' : '0';
    return changed;
}

std::string dropLastDataByte(const std::string& line)
{
    return line.substr(0, line.size() - 6) + line.substr(line.size() - 4);
}

std::string withCharacter(const std::string& line, std::size_t column, char c)
{
    std::string changed = line;
    changed[column] = c;
    return changed;
}

std::string record2(std::uint32_t address, std::size_t from, std::size_t size)
{
    return sRecord('2', address, 3, kImage.data() + from, size);
}

INSTANTIATE_TEST_SUITE_P(SRecords, RefusedFiles,
    ::testing::Values(
        RefusedCase {"WrongChecksum", replaceLine(goodFile(), 3, flipChecksum(lineOf(goodFile(), 3))),
            3, "checksum"},
        RefusedCase {"DataChangedInTransit",
            replaceLine(goodFile(), 4, flipDataDigit(lineOf(goodFile(), 4))), 4, "checksum"},
        RefusedCase {"HeaderChecksumToo",
            replaceLine(goodFile(), 1, flipChecksum(lineOf(goodFile(), 1))), 1, "checksum"},
        RefusedCase {"ShorterThanItsCount",
            replaceLine(goodFile(), 2, dropLastDataByte(lineOf(goodFile(), 2))), 2, "shorter"},
        RefusedCase {"LongerThanItsCount",
            replaceLine(goodFile(), 2, lineOf(goodFile(), 2).insert(12, "00")), 2, "longer"},
        RefusedCase {"CutInTheMiddleOfARecord", goodFile().substr(0, goodFile().find("S2", 60) + 30),
            3, "shorter"},
        RefusedCase {"HalfAByte", replaceLine(goodFile(), 2, lineOf(goodFile(), 2).insert(12, "0")),
            2, "half a byte"},
        RefusedCase {"NonHexCharacter",
            replaceLine(goodFile(), 5, withCharacter(lineOf(goodFile(), 5), 20, 'G')), 5,
            "\"G\" in column 21 is not a hex digit"},
        RefusedCase {"ControlCharacter",
            replaceLine(goodFile(), 5, withCharacter(lineOf(goodFile(), 5), 20, '\0')), 5,
            "code 00h"},
        RefusedCase {"CarriageReturnsOnly",
            [] {
                std::string text = goodFile();
                for (char& c : text)
                    if (c == '\n')
                        c = '\r';
                return text;
            }(),
            1, "column"},
        RefusedCase {"NotARecord", "S00600004844521B\r\nHello\r\n", 2, "does not begin"},
        RefusedCase {"ReservedType", "S4030000FC\r\n", 1, "record type"},
        RefusedCase {"TypeMissing", "S\r\n", 1, "ends before its count"},
        RefusedCase {"CountLeavesNoAddress", "S201FE\r\n" + goodFile(), 1, "no room"},
        RefusedCase {"LineTooLong", "S2" + std::string(600, '0') + "\r\n", 1, "characters long"},
        RefusedCase {"Gap", record2(0, 0, 32) + record2(40, 32, 32), 2, "gap"},
        RefusedCase {"Overlap", record2(0, 0, 32) + record2(16, 32, 32), 2, "overlaps"},
        RefusedCase {"RepeatedRecord", record2(0, 0, 32) + record2(0, 0, 32), 2, "overlaps"},
        RefusedCase {"NotFromAddressZero", record2(0x4000, 0, 32), 1, "gap"},
        RefusedCase {"RecordCountMismatch",
            record2(0, 0, 32) + record2(32, 32, 32) + sRecord('5', 3, 2, nullptr, 0), 3,
            "record count 3"},
        RefusedCase {"NoData", sRecord('0', 0, 2, nullptr, 0) + sRecord('9', 0, 2, nullptr, 0), 0,
            "no program data"},
        RefusedCase {"Empty", "", 0, "no program data"},
        RefusedCase {"FileTooLarge", std::string(2000001, '\n'), 0, "2000000"}),
    [](const auto& info) { return std::string(info.param.name); });

// The largest file: 2,000,000 bytes of text. (An image needs more than two
// characters a byte, so such a file cannot reach the image limit.)
TEST(SRecordDecoder, AFileOfExactlyTheSizeLimitIsAccepted)
{
    const std::vector<std::uint8_t> big = programImage(900000);
    std::string text = sRecordText(big, 250);
    ASSERT_LT(text.size(), kFirmwareFileLimit);
    text.append(kFirmwareFileLimit - text.size(), '\n');
    const SRecordDecoding decoding = decodeSRecords(text);
    ASSERT_TRUE(decoding.ok) << describeRefusal(decoding);
    EXPECT_EQ(decoding.image, big);
}

} // namespace
} // namespace lt
