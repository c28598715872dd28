// The initialisation-file layer: what Windows profile files promise, and
// that a bad or unreachable file never costs the operator a setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "common/TempDirectory.h"
#include "core/settings/IniFile.h"

namespace lt {
namespace {

using testing::inodeOf;
using testing::TempDirectory;

TEST(IniFile, ReadsWindowsFileWithCaseInsensitiveNamesAndBothLineEnds)
{
    TempDirectory dir;
    dir.write("a.ini", "[TaviDens]\r\nDSlopeC = 1.25 \r\n[taviLIGHT]\nbrand=2\n  ITime=\"7\"  \n");
    IniFile file(dir.file("a.ini"));
    EXPECT_EQ(file.getString("tavidens", "dslopec"), "1.25");
    EXPECT_EQ(file.getInt("TaviLight", "Brand", 0), 2);
    EXPECT_EQ(file.getInt("TaviLight", "ITime", 0), 7); // quotes removed
    EXPECT_EQ(file.getString("TaviLight", "Missing"), std::nullopt);
    EXPECT_EQ(file.getString("NoSection", "Brand"), std::nullopt);
}

TEST(IniFile, FirstOfDuplicateKeysAndSectionsWins)
{
    TempDirectory dir;
    dir.write("a.ini", "[S]\nK=1\nK=2\n[s]\nK=3\nOther=4\n");
    IniFile file(dir.file("a.ini"));
    EXPECT_EQ(file.getInt("S", "K", 0), 1);
    EXPECT_EQ(file.getInt("S", "Other", 0), 0) << "keys of a later duplicate section are not seen";
    ASSERT_TRUE(file.writeString("S", "k", "9"));
    EXPECT_EQ(dir.read("a.ini"), "[S]\r\nK=9\r\nK=2\r\n[s]\r\nK=3\r\nOther=4\r\n");
}

TEST(IniFile, GarbageIsKeptAndDoesNotDisturbReading)
{
    TempDirectory dir;
    std::string garbage =
        "; comment\r\nno equals sign here\r\n\x01\x02\xff\r\n=value without key\r\n";
    dir.write("a.ini",
        garbage + "[S]\r\n[broken\r\nK=notanumber\r\nL=" + std::string(5000, 'x') + "\r\n");
    IniFile file(dir.file("a.ini"));
    EXPECT_EQ(file.getInt("S", "K", 42), 42);
    EXPECT_EQ(file.getString("S", "L", "d", 299).size(), 299u)
        << "cut as a fixed read buffer would";
    ASSERT_TRUE(file.writeString("S", "New", "1"));
    std::string written = dir.read("a.ini");
    EXPECT_EQ(written.substr(0, garbage.size()), garbage);
    EXPECT_NE(written.find("[broken\r\n"), std::string::npos);
}

TEST(IniFile, WritesNewSectionsAndKeysWithoutTouchingOtherLines)
{
    TempDirectory dir;
    dir.write("a.ini", "[A]\nX=1\n\n[B]\nY=2\n");
    IniFile file(dir.file("a.ini"));
    ASSERT_TRUE(file.writeString("A", "Z", "3"));
    ASSERT_TRUE(file.writeString("C", "W", "4"));
    EXPECT_EQ(dir.read("a.ini"), "[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nW=4\r\n");
}

// A write replaces the file (a new inode) only when the bytes would change:
// reading back every setting at a program start must not rewrite and flush
// the file once per key, while a file in another spelling (LF ends, blanks
// around "=") is still brought into the written form by a write.
TEST(IniFile, WriteOfWhatTheFileHoldsLeavesTheFileAlone)
{
    struct Case {
        const char* name;
        const char* before; // the file
        bool section; // writeSection("S", {"K=1", "L=2"}) instead of writeString("S", "K", value)
        const char* value;
        bool replaced;
        const char* after;
    };
    const Case cases[] = {
        {"same value", "[S]\r\nK=1\r\nL=2\r\n", false, "1", false, "[S]\r\nK=1\r\nL=2\r\n"},
        {"same quoted value", "[S]\r\nK=\"a b\"\r\n", false, "\"a b\"", false,
            "[S]\r\nK=\"a b\"\r\n"},
        {"same section", "[S]\r\nK=1\r\nL=2\r\n[T]\r\n", true, "", false,
            "[S]\r\nK=1\r\nL=2\r\n[T]\r\n"},
        {"new value", "[S]\r\nK=1\r\nL=2\r\n", false, "3", true, "[S]\r\nK=3\r\nL=2\r\n"},
        {"new key", "[S]\r\nL=2\r\n", false, "1", true, "[S]\r\nL=2\r\nK=1\r\n"},
        {"new section", "[T]\r\n", false, "1", true, "[T]\r\n\r\n[S]\r\nK=1\r\n"},
        {"changed section", "[S]\r\nK=1\r\n", true, "", true, "[S]\r\nK=1\r\nL=2\r\n"},
        {"LF line ends", "[S]\nK=1\n", false, "1", true, "[S]\r\nK=1\r\n"},
        {"blanks around =", "[S]\r\nK = 1\r\n", false, "1", true, "[S]\r\nK=1\r\n"},
        {"no file", nullptr, false, "1", true, "[S]\r\nK=1\r\n"},
    };
    for (const Case& c : cases) {
        TempDirectory dir;
        const std::string path = dir.file("a.ini");
        if (c.before)
            dir.write("a.ini", c.before);
        auto write = [&](IniFile& file) {
            return c.section ? file.writeSection("S", {"K=1", "L=2"})
                             : file.writeString("S", "K", c.value);
        };
        IniFile file(path);
        const auto before = inodeOf(path);
        EXPECT_TRUE(write(file)) << c.name;
        EXPECT_EQ(inodeOf(path) != before, c.replaced) << c.name;
        EXPECT_EQ(dir.read("a.ini"), c.after) << c.name;
        // Writing it again, by this writer or by the next program start, leaves the file alone.
        const auto written = inodeOf(path);
        IniFile next(path);
        EXPECT_TRUE(write(file) && write(next)) << c.name;
        EXPECT_EQ(inodeOf(path), written) << c.name;
        EXPECT_EQ(dir.read("a.ini"), c.after) << c.name;
    }
}

TEST(IniFile, ValueWithLineBreakCannotInjectKeys)
{
    TempDirectory dir;
    IniFile file(dir.file("a.ini"));
    ASSERT_TRUE(file.writeString("S", "Name", "evil\r\n[Other]\nKey=1"));
    EXPECT_EQ(file.getString("Other", "Key"), std::nullopt);
    EXPECT_FALSE(file.writeString("S", "Bad=Key", "1"));
    EXPECT_FALSE(file.writeString("S]", "Key", "1"));
}

// A name that could not be found again after writing is refused, and the
// file stays as it was; every name that is accepted reads back.
TEST(IniFile, RefusesNamesItCouldNotReadBack)
{
    TempDirectory dir;
    dir.write("a.ini", "[S]\r\nK=1\r\n");
    IniFile file(dir.file("a.ini"));
    struct Case {
        std::string section, key;
    };
    const std::string refusedSections[] = {"S]", "S\n", "S\rX", " S", "S ", "\tS", ""};
    for (const std::string& section : refusedSections) {
        EXPECT_FALSE(file.writeString(section, "K", "2")) << section;
        EXPECT_FALSE(file.writeSection(section, {"A=1"})) << section;
    }
    const std::string refusedKeys[] = {"A=B", "K\n", "K\rX", " K", "K\t", "", ";K", "#K", "[K]",
        "\xEF\xBB\xBF[K", "\xEF\xBB\xBF [K"}; // "[K=v]" behind a byte order mark reads as a header
    for (const std::string& key : refusedKeys)
        EXPECT_FALSE(file.writeString("S", key, "2")) << key;
    EXPECT_EQ(dir.read("a.ini"), "[S]\r\nK=1\r\n");

    // Sections are refused by their own rules only: "=" and "[" are fine there.
    const Case accepted[] = {{"A=B", "K"}, {"[S", "K"}, {"S", "K]"}, {"S x", "K y"}, {"S", "K[1]"}};
    for (const Case& c : accepted) {
        ASSERT_TRUE(file.writeString(c.section, c.key, "v")) << c.section << "/" << c.key;
        EXPECT_EQ(IniFile(dir.file("a.ini")).getString(c.section, c.key), "v")
            << c.section << "/" << c.key;
    }
}

TEST(IniFile, ReadOnlySettingsFileIsKeptAndTheValueStaysInMemory)
{
    TempDirectory dir;
    dir.write("a.ini", "[S]\nK=1\n");
    ::chmod(dir.file("a.ini").c_str(), 0444);
    IniFile file(dir.file("a.ini"));
    std::vector<std::string> reasons;
    file.setWriteFailureHandler(
        [&](const std::string&, const std::string& reason) { reasons.push_back(reason); });
    EXPECT_FALSE(file.writeString("S", "K", "2"));
    EXPECT_EQ(dir.read("a.ini"), "[S]\nK=1\n");
    EXPECT_EQ(file.getInt("S", "K", 0), 2);
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_NE(reasons[0].find("read-only"), std::string::npos) << reasons[0];
}

TEST(IniFile, WriteSectionReplacesTheWholeSection)
{
    TempDirectory dir;
    dir.write("tavi.ini", "[tavi.ini]\nOld=1\nPropPages=0\n[Keep]\nA=1\n");
    IniFile file(dir.file("tavi.ini"));
    ASSERT_TRUE(file.writeSection("tavi.ini", {"PropPages=0x11100000"}));
    EXPECT_EQ(dir.read("tavi.ini"), "[tavi.ini]\r\nPropPages=0x11100000\r\n[Keep]\r\nA=1\r\n");
}

TEST(IniFile, SeesChangesMadeByAnotherWriter)
{
    TempDirectory dir;
    IniFile first(dir.file("a.ini"));
    IniFile second(dir.file("a.ini"));
    ASSERT_TRUE(first.writeString("S", "K", "1"));
    EXPECT_EQ(second.getInt("S", "K", 0), 1);
    ASSERT_TRUE(second.writeString("S", "K", "22"));
    EXPECT_EQ(first.getInt("S", "K", 0), 22);
}

TEST(IniFile, FileInAPlaceThatCannotHoldFilesKeepsValuesInMemory)
{
    TempDirectory dir;
    dir.write("plain", "not a directory");
    IniFile file(dir.file("plain") + "/LtrakW.ini");
    std::vector<std::string> reasons;
    file.setWriteFailureHandler(
        [&](const std::string&, const std::string& reason) { reasons.push_back(reason); });
    EXPECT_EQ(file.getInt("S", "K", 4), 4);
    EXPECT_FALSE(file.writeString("S", "K", "5"));
    EXPECT_FALSE(file.writeSection("T", {"A=1"}));
    EXPECT_EQ(file.getInt("S", "K", 4), 5);
    EXPECT_EQ(file.getString("T", "A"), "1");
    ASSERT_EQ(reasons.size(), 2u);
    EXPECT_FALSE(reasons[0].empty());
}

TEST(IniFile, WritesUnderAHoldReachTheFileOnceWhenTheLastHoldEnds)
{
    TempDirectory dir;
    const std::string path = dir.file("a.ini");
    IniFile file(path);
    {
        auto outer = file.holdWrites();
        {
            auto inner = file.holdWrites();
            EXPECT_TRUE(file.writeString("S", "K", "1"));
            EXPECT_TRUE(file.writeSection("T", {"A=2"}));
            EXPECT_FALSE(file.writeString("S", "bad=name", "3"));
        }
        EXPECT_TRUE(file.writeString("S", "L", "4"));
        EXPECT_FALSE(std::filesystem::exists(path)) << "nothing written while held";
        EXPECT_EQ(file.getInt("S", "K", 0), 1) << "reads see the held writes";
    }
    EXPECT_EQ(dir.read("a.ini"), "[S]\r\nK=1\r\nL=4\r\n\r\n[T]\r\nA=2\r\n");

    // A file that cannot be written is reported when the hold ends, once.
    dir.write("plain", "not a directory");
    IniFile unreachable(dir.file("plain") + "/a.ini");
    int failures = 0;
    unreachable.setWriteFailureHandler([&](const std::string&, const std::string&) {
        ++failures;
        EXPECT_EQ(unreachable.getInt("S", "K", 0), 5) << "the handler may read the file";
    });
    {
        auto hold = unreachable.holdWrites();
        EXPECT_TRUE(unreachable.writeString("S", "K", "5"));
        EXPECT_TRUE(unreachable.writeString("S", "L", "6"));
        EXPECT_EQ(failures, 0);
    }
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(unreachable.getInt("S", "L", 0), 6);
}

TEST(IniFile, FailedWriteKeepsOldFileAndValueInMemory)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: directory permissions do not stop writes";
    TempDirectory dir;
    dir.write("a.ini", "[S]\nK=1\n");
    IniFile file(dir.file("a.ini"));
    int failures = 0;
    file.setWriteFailureHandler([&](const std::string&, const std::string&) { ++failures; });
    ::chmod(dir.path().c_str(), 0500);
    EXPECT_FALSE(file.writeString("S", "K", "2"));
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(dir.read("a.ini"), "[S]\nK=1\n") << "the file on disk is whole";
    EXPECT_EQ(file.getInt("S", "K", 0), 2) << "the program goes on with the value in memory";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary left";
}

TEST(IniFile, UnreadableOrOversizedFileGivesDefaultsAndIsNotReplaced)
{
    TempDirectory dir;
    std::string huge = "[S]\nK=1\n" + std::string(IniFile::kMaxFileBytes, '#');
    dir.write("huge.ini", huge);
    IniFile big(dir.file("huge.ini"));
    EXPECT_EQ(big.getInt("S", "K", 7), 7);
    EXPECT_FALSE(big.writeString("S", "K", "3"));
    EXPECT_EQ(big.getInt("S", "K", 7), 3);
    EXPECT_EQ(dir.read("huge.ini").size(), huge.size());

    if (::geteuid() != 0) {
        dir.write("locked.ini", "[S]\nK=1\n");
        ::chmod(dir.file("locked.ini").c_str(), 0200);
        IniFile locked(dir.file("locked.ini"));
        EXPECT_EQ(locked.getInt("S", "K", 5), 5);
        EXPECT_FALSE(locked.writeString("S", "K", "2"));
        ::chmod(dir.file("locked.ini").c_str(), 0600);
        EXPECT_EQ(dir.read("locked.ini"), "[S]\nK=1\n");
    }
}

// Whatever a mangled file holds (NUL bytes, stray brackets, bare CRs), a key
// written is the key read back, also after another section was added.
TEST(IniFile, WrittenKeyReadsBackFromAnyMangledFile)
{
    TempDirectory dir;
    std::mt19937 random(20261208);
    static const char kAlphabet[] = "[]=;# \t\r\nabcKS\0\xa7\xff";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        std::size_t length = random() % 400;
        for (std::size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        dir.write("m.ini", text);
        IniFile file(dir.file("m.ini"));
        (void)file.getString("S", "K");
        (void)file.getInt("a", "b", 0);
        ASSERT_TRUE(file.writeString("S", "K", "v" + std::to_string(round)));
        EXPECT_EQ(IniFile(dir.file("m.ini")).getString("S", "K"), "v" + std::to_string(round))
            << round;
        ASSERT_TRUE(file.writeString("Other", "X", "1"));
        EXPECT_EQ(IniFile(dir.file("m.ini")).getString("S", "K"), "v" + std::to_string(round))
            << round;
    }
}

TEST(IniFile, LocateFindsTheFileWhateverItsSpelling)
{
    TempDirectory dir;
    EXPECT_EQ(IniFile::locate(dir.path(), "LtrakW.ini"), dir.file("LtrakW.ini"));
    dir.write("LTRAKW.INI", "[S]\nK=1\n");
    EXPECT_EQ(IniFile::locate(dir.path(), "LtrakW.ini"), dir.file("LTRAKW.INI"));
    dir.write("LtrakW.ini", "");
    EXPECT_EQ(IniFile::locate(dir.path(), "LtrakW.ini"), dir.file("LtrakW.ini"));
}

} // namespace
} // namespace lt
