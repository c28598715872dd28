// The spot-colour file as text: what the workstation writes, and what it
// makes of damaged, foreign and oversized files.
#include "core/metrics/SpotColorText.h"
#include "MetricsTestFiles.h"

#include <gtest/gtest.h>

#include <random>

namespace lt {
namespace {

SpotColorEntry makeEntry(SpotKind kind, std::string name, double centre)
{
    SpotColorEntry entry;
    entry.kind = kind;
    entry.name = std::move(name);
    for (int i = 0; i < 7; ++i)
        entry.wavelengths[i] = centre - 30 + 10 * i;
    entry.weights = kind == SpotKind::Narrow ? kNarrowWindowWeights : kWideWindowWeights;
    return entry;
}

std::string formatEntries(const std::vector<SpotColorEntry>& entries)
{
    std::vector<const SpotColorEntry*> pointers;
    for (const auto& entry : entries)
        pointers.push_back(&entry);
    return formatSpotFileText(pointers);
}

std::string entryText(int kind, const std::string& name, double centre)
{
    return formatEntries({makeEntry(static_cast<SpotKind>(kind), name, centre)})
        .substr(8); // drop the signature and count lines "SC\xA7\r\n1\r\n"
}

std::string fileWithCount(int announced, int written)
{
    std::string text = "SC\xA7\r\n" + std::to_string(announced) + "\r\n";
    for (int i = 0; i < written; ++i)
        text += entryText(1 + i % 2, "S" + std::to_string(i + 1), 450 + 5 * i);
    return text;
}

TEST(SpotColorText, WritesTheGoldenFileByteForByte)
{
    const std::string written = formatEntries({makeEntry(SpotKind::Narrow, "Reflex Blue", 600),
        makeEntry(SpotKind::Wide, "Warm Red", 520)});
    EXPECT_EQ(written, test::fileBytes(test::goldenPath("spot_two_entries.txt")));
}

TEST(SpotColorText, ReadsBackWhatItWrote)
{
    const auto content =
        parseSpotFileText(test::fileBytes(test::goldenPath("spot_two_entries.txt")));
    ASSERT_TRUE(content.hasSignature);
    ASSERT_EQ(content.entries.size(), 2u);
    EXPECT_EQ(content.entries[0].kind, SpotKind::Narrow);
    EXPECT_EQ(content.entries[0].name, "Reflex Blue");
    EXPECT_DOUBLE_EQ(content.entries[0].wavelengths[3], 600.0);
    EXPECT_DOUBLE_EQ(content.entries[0].weights[2], 0.5);
    EXPECT_EQ(content.entries[1].kind, SpotKind::Wide);
    EXPECT_EQ(content.entries[1].name, "Warm Red");
    EXPECT_DOUBLE_EQ(content.entries[1].wavelengths[0], 490.0);
    EXPECT_DOUBLE_EQ(content.entries[1].weights[1], 0.8);
    EXPECT_EQ(
        formatEntries(content.entries), test::fileBytes(test::goldenPath("spot_two_entries.txt")));
}

TEST(SpotColorText, AcceptsLineFeedOnlyFilesAndAnEmptyLibrary)
{
    std::string text = fileWithCount(2, 2);
    std::string unixText;
    for (char c : text)
        if (c != '\r')
            unixText += c;
    EXPECT_EQ(parseSpotFileText(unixText).entries.size(), 2u);

    const auto empty = parseSpotFileText(formatEntries({}));
    EXPECT_TRUE(empty.hasSignature);
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_EQ(formatEntries({}), "SC\xA7\r\n0\r\n");
    // Deleted entries and the "none" entry are never written.
    EXPECT_EQ(formatEntries({makeEntry(SpotKind::Deleted, "Gone", 500),
                  makeEntry(SpotKind::None, "none", 500)}),
        "SC\xA7\r\n0\r\n");
}

TEST(SpotColorText, CapsTheNumberOfEntriesAtThirty)
{
    EXPECT_EQ(parseSpotFileText(fileWithCount(35, 35)).entries.size(), 30u);
    // The count line decides even when more entries follow.
    EXPECT_EQ(parseSpotFileText(fileWithCount(3, 10)).entries.size(), 3u);
    EXPECT_EQ(parseSpotFileText(fileWithCount(-4, 3)).entries.size(), 0u);
    EXPECT_EQ(parseSpotFileText(fileWithCount(99999999, 2)).entries.size(), 2u);
}

// Each kind of damage is found at its line: 1 signature, 2 count, then nine
// lines per entry (kind, name, seven window lines).
TEST(SpotColorText, NamesTheLineWhereTheFileStopsMakingSense)
{
    const std::string head = "SC\xA7\r\n2\r\n";
    const std::string first = entryText(1, "First", 500);
    const std::string window = "\r\n500.0\t1.00\r\n";
    struct Case {
        std::string text;
        int line;
        const char* what;
        std::size_t entries;
    } cases[] = {
        {"SC\xA7\r\n", 2, "the number of entries is missing", 0},
        {"SC\xA7\r\nmany\r\n", 2, "the number of entries is not a number", 0},
        {head + first + "3\r\nX" + window, 12, "the kind is neither 1 (narrow) nor 2 (wide)", 1},
        {head + first + "1\r\n" + std::string(5000, 'n') + window, 13,
            "the line is longer than 200 characters", 1},
        {head + first + "1\r\nX\r\n500.0\t1.00\r\nfive\t1\r\n", 15,
            "the wavelength is not a number", 1},
        {head + first + "1\r\nX\r\n500.0 1.00\r\n", 14,
            "a window line has no tab between wavelength and weight", 1},
        {head + first + "1\r\nX\r\n500.0\tlots\r\n", 14, "the weight is not a number", 1},
        {head + first + "1\r\nX\r\n500.0\t1.00\r\n", 15, "the file ends inside an entry", 1},
        {head + first, 12, "the file ends after 1 of the 2 entries it announces", 1},
    };
    for (const Case& c : cases) {
        const SpotFileContent content = parseSpotFileText(c.text);
        ASSERT_TRUE(content.problem) << c.what;
        EXPECT_EQ(content.problem->line, c.line) << c.what;
        EXPECT_EQ(content.problem->what, c.what);
        EXPECT_EQ(content.entries.size(), c.entries) << c.what;
    }
    EXPECT_FALSE(parseSpotFileText(fileWithCount(2, 2)).problem);
    EXPECT_FALSE(parseSpotFileText(fileWithCount(3, 10)).problem) << "entries past the count";
}

TEST(SpotColorText, RejectsFilesWithoutTheSignature)
{
    EXPECT_FALSE(parseSpotFileText("").hasSignature);
    EXPECT_FALSE(parseSpotFileText("SC").hasSignature);
    EXPECT_FALSE(parseSpotFileText("SC?\r\n1\r\n").hasSignature);
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    const auto content = parseSpotFileText(binary);
    EXPECT_FALSE(content.hasSignature);
    EXPECT_TRUE(content.entries.empty());
}

TEST(SpotColorText, KeepsTheCompleteEntriesOfATruncatedFile)
{
    const std::string full = fileWithCount(3, 3);
    const std::size_t perEntry = entryText(1, "S1", 450).size();
    const std::size_t headerSize = full.size() - 3 * perEntry;
    // Cut anywhere in the third entry before its last weight begins: two
    // entries survive each time.
    for (std::size_t cut = headerSize + 2 * perEntry; cut <= full.rfind('\t'); ++cut)
        ASSERT_EQ(parseSpotFileText(std::string_view(full).substr(0, cut)).entries.size(), 2u)
            << cut;
    // A final line without its line end still counts.
    EXPECT_EQ(parseSpotFileText(full.substr(0, full.size() - 2)).entries.size(), 3u);
}

TEST(SpotColorText, StopsAtALineLongerThanTwoHundredCharacters)
{
    // The writer never makes such a line: the entry is put together by hand.
    std::string longName = entryText(2, "Long", 520);
    longName.replace(longName.find("Long"), 4, std::string(201, 'n'));
    std::string text =
        "SC\xA7\r\n3\r\n" + entryText(1, "Short", 500) + longName + entryText(1, "After", 540);
    const auto content = parseSpotFileText(text);
    ASSERT_EQ(content.entries.size(), 1u);
    EXPECT_EQ(content.entries[0].name, "Short");

    // Exactly two hundred characters is still a line.
    text = "SC\xA7\r\n1\r\n" + entryText(1, std::string(200, 'n'), 500);
    ASSERT_EQ(parseSpotFileText(text).entries.size(), 1u);
    EXPECT_EQ(parseSpotFileText(text).entries[0].name.size(), 200u);

    // A huge file of one endless line yields nothing and does not hang.
    EXPECT_TRUE(parseSpotFileText("SC\xA7\r\n1\r\n" + std::string(5'000'000, '7')).entries.empty());
}

TEST(SpotColorText, StopsAtMalformedEntryLines)
{
    const std::string good = entryText(1, "Good", 500);
    std::string noTab = entryText(1, "NoTab", 500);
    noTab.replace(noTab.find('\t'), 1, " ");
    std::string badKind = entryText(1, "Kind", 500);
    badKind[0] = '3';
    std::string notANumber = entryText(1, "Text", 500);
    notANumber.replace(notANumber.find('\t') + 1, 4, "abcd");
    for (const std::string& bad : {noTab, badKind, notANumber}) {
        const auto content = parseSpotFileText("SC\xA7\r\n3\r\n" + good + bad + good);
        EXPECT_EQ(content.entries.size(), 1u) << bad;
    }
}

// A window that leaves the measured spectrum, or weights that are no weights,
// make no spot colour: such an entry is passed over when reading (the
// entries after it still count) and never written, so a file the workstation
// writes always reads back entry for entry.
TEST(SpotColorText, EntriesWithValuesOutsideTheSpectrumAreNeitherReadNorWritten)
{
    struct Damage {
        const char* what;
        int line; // 0 ... 6: the window line changed
        const char* wavelength;
        const char* weight;
    };
    const Damage damages[] = {
        {"centre far beyond", 3, "1e250", "1.00"},
        {"first below 380 nm", 0, "379.0", "0.50"},
        {"last beyond 730 nm", 6, "731.0", "0.50"},
        {"negative wavelength", 3, "-500.0", "1.00"},
        {"huge weight", 2, "490.0", "1e250"},
        {"negative weight", 3, "500.0", "-1.00"},
    };
    const std::string good = entryText(2, "Good", 500);
    for (const Damage& damage : damages) {
        std::string bad = entryText(2, "Bad", 500);
        std::size_t at = bad.find("\r\n", bad.find("\r\n") + 2) + 2; // first window line
        for (int line = 0; line < damage.line; ++line)
            at = bad.find("\r\n", at) + 2;
        bad.replace(
            at, bad.find("\r\n", at) - at, std::string(damage.wavelength) + "\t" + damage.weight);
        const auto content = parseSpotFileText("SC\xA7\r\n4\r\n" + good + good + bad + good);
        ASSERT_EQ(content.entries.size(), 3u) << damage.what;
        for (const auto& entry : content.entries)
            EXPECT_EQ(entry.name, "Good") << damage.what;
    }

    // An entry with all weights zero has no window to measure through, nor
    // has one whose weights all round to 0.00 in the file.
    SpotColorEntry blind = makeEntry(SpotKind::Wide, "Blind", 500);
    blind.weights = {};
    SpotColorEntry faint = makeEntry(SpotKind::Wide, "Faint", 500);
    faint.weights.fill(0.004);
    SpotColorEntry far = makeEntry(SpotKind::Narrow, "Far", 500);
    far.wavelengths[3] = 1e250;
    SpotColorEntry longName = makeEntry(SpotKind::Wide, std::string(201, 'n'), 500);
    const std::string written = formatEntries({makeEntry(SpotKind::Wide, "A", 500), far, blind,
        faint, longName, makeEntry(SpotKind::Narrow, "B", 600)});
    const auto reread = parseSpotFileText(written);
    ASSERT_EQ(reread.entries.size(), 2u);
    EXPECT_EQ(reread.entries[1].name, "B");
    EXPECT_EQ(written.substr(0, 8), "SC\xA7\r\n2\r\n");
}

TEST(SpotColorText, KeepsANameAsReadButNeverWritesALineBreakIntoIt)
{
    const auto content = parseSpotFileText("SC\xA7\r\n1\r\n" + entryText(2, "  Grün 7 % ", 480));
    ASSERT_EQ(content.entries.size(), 1u);
    EXPECT_EQ(content.entries[0].name, "  Grün 7 % ");

    const std::string text = formatEntries({makeEntry(SpotKind::Wide, "Two\r\nLines", 500)});
    const auto reread = parseSpotFileText(text);
    ASSERT_EQ(reread.entries.size(), 1u);
    EXPECT_EQ(reread.entries[0].name, "Two  Lines");
}

TEST(SpotColorText, SurvivesMutilatedFiles)
{
    // Flip, drop and insert bytes of a good file at random; every result is
    // either a clean partial read or a rejection, never a crash (the
    // sanitizer build watches the reads).
    const std::string good = fileWithCount(30, 30);
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::string text = good;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text[at] = static_cast<char>(random());
                break;
            case 1:
                text.erase(at, 1 + random() % 40);
                break;
            default:
                text.insert(at, std::string(1 + random() % 300, static_cast<char>(random())));
                break;
            }
        }
        const auto content = parseSpotFileText(text);
        ASSERT_LE(content.entries.size(), 30u);
        for (const auto& entry : content.entries) {
            ASSERT_TRUE(entry.isColor());
            ASSERT_LE(entry.name.size(), kSpotFileMaxLineLength);
        }
        // Whatever was accepted is written so that it reads back whole.
        ASSERT_EQ(parseSpotFileText(formatEntries(content.entries)).entries.size(),
            content.entries.size())
            << round;
    }
}

} // namespace
} // namespace lt
