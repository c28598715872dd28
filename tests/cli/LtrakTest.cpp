// ltrak as a script uses it: the exit status, what reaches standard output
// and standard error, for good and bad command lines.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "common/SRecordText.h"
#include "common/TempDirectory.h"
#include "ltsim/Simulator.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome ltrak(const std::string& arguments)
{
    lt::testing::TempDirectory dir;
    std::string errFile = dir.file("stderr");
    std::string command = std::string(LTRAK_PROGRAM) + " " + arguments + " 2>" + errFile;
    Outcome run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer {};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), {});
    return run;
}

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(Ltrak, MeasuresFromTheSimulatorInEachFormat)
{
    Outcome json = ltrak("measure --port sim --count 3 --format json --sample paper,C100,K100");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(count(json.out, "\"sample\""), 3);
    EXPECT_EQ(json.out.front(), '[');
    EXPECT_NE(json.out.find("\"Lab\": [95."), std::string::npos) << json.out; // paper

    Outcome csv = ltrak("measure --port=sim --count 2");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(count(csv.out, "\n"), 3); // header and two samples
    EXPECT_EQ(csv.out.rfind("sample,X,Y,Z,L,a,b,density_C", 0), 0u);

    Outcome cgats = ltrak("measure --port sim --format cgats");
    ASSERT_EQ(cgats.status, 0) << cgats.err;
    EXPECT_NE(cgats.out.find("NUMBER_OF_SETS 1\nBEGIN_DATA\n0 "), std::string::npos);
    EXPECT_NE(cgats.out.find("SPEC_730"), std::string::npos);
}

TEST(Ltrak, WrongCommandLinesAndMissingThingsHaveTheirExitStatus)
{
    const std::pair<const char*, int> cases[] = {
        {"", 2},
        {"frobnicate", 2},
        {"measure --count 0 --port sim", 2},
        {"measure --count", 2},
        {"measure --format xml --port sim", 2},
        {"measure --port COM9", 2},
        {"measure --sample paper", 2},
        {"measure --port /dev/ltrak-no-such-port", 1},
        {"chart compare one.txt", 2},
        {"chart compare /nonexistent-a /nonexistent-b", 1},
        {"chart convert", 2},
        {"firmware", 2},
        {"firmware flash x.A20", 2},
        {"firmware check", 2},
        {"firmware check a.A20 b.A20", 2},
        {"firmware download --port sim", 2},
        {"firmware download --baud 12 --port sim x.A20", 2},
        {"firmware download --port COM7 x.A20", 2},
        {"firmware download --wipe x.A20", 2},
    };
    for (const auto& [arguments, status] : cases) {
        Outcome run = ltrak(arguments);
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments << ": " << run.out;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
    for (const char* help :
        {"--help", "measure --help", "chart --help", "chart compare --help", "chart convert --help",
            "firmware --help", "firmware check --help", "firmware download --help"}) {
        Outcome run = ltrak(help);
        EXPECT_EQ(run.status, 0) << help;
        EXPECT_NE(run.out.find("Usage: ltrak"), std::string::npos) << help;
    }
}

TEST(Ltrak, ComparesAndConvertsCharts)
{
    lt::testing::TempDirectory dir;
    auto write = [&](const char* name, const std::string& rows) {
        std::ofstream(dir.file(name))
            << "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y "
               "CMYK_K XYZ_X XYZ_Y XYZ_Z\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\n"
               "BEGIN_DATA\n"
            << rows << "END_DATA\n";
        return dir.file(name);
    };
    std::string a = write("a.txt", "A1 0 0 0 0 96.422 100 82.521\nA2 100 0 0 0 20 25 60\n");
    std::string b = write("b.txt", "A1 0 0 0 0 96.422 100 82.521\nA2 100 0 0 0 21 25 60\n");
    Outcome same = ltrak("chart compare " + a + " " + a);
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_NE(
        same.out.find("All             2     0.00     0.00     0.00     0.00"), std::string::npos)
        << same.out;
    Outcome json = ltrak("chart compare --formula 00 --format json " + a + " " + b);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"formula\": \"dE00\""), std::string::npos);
    EXPECT_NE(json.out.find("\"id\": \"A2\""), std::string::npos);

    Outcome converted = ltrak("chart convert " + a);
    ASSERT_EQ(converted.status, 0) << converted.err;
    EXPECT_NE(converted.out.find("LAB_L LAB_A LAB_B"), std::string::npos);
    EXPECT_NE(
        converted.out.find("A1 0.00 0.00 0.00 0.00 96.422 100.000 82.521 100.000 0.000 0.000"),
        std::string::npos)
        << converted.out;

    std::ofstream(dir.file("broken.txt")) << "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X\n";
    Outcome broken = ltrak("chart convert " + dir.file("broken.txt"));
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("broken.txt"), std::string::npos);
}

// A firmware file with one change made to its text.
std::string firmwareVariant(const std::string& text, const std::string& from, const std::string& to)
{
    std::string changed = text;
    const std::size_t at = changed.find(from);
    if (at != std::string::npos)
        changed.replace(at, from.size(), to);
    return changed;
}

TEST(Ltrak, ChecksFirmwareFilesAsTheServicePageDoes)
{
    lt::testing::TempDirectory dir;
    // 16641 bytes: two blocks for the flash, records of 32 bytes, the tenth
    // data record (line 11) at address 000120.
    const std::string good = lt::testing::sRecordText(lt::testing::programImage(16641));
    const std::size_t line11 = good.find("S224000120");
    const std::size_t line11End = good.find("\r\n", line11);
    const std::string record11 = good.substr(line11, line11End - line11);
    std::string brokenSum = record11;
    brokenSum.back() = brokenSum.back() == '0' ? '1' : '0';
    std::string notHex = record11;
    notHex[20] = 'G';

    struct Case {
        const char* name;
        std::string text;
        int status;
        const char* said; // on stdout for a sound file, else on stderr
    };
    const Case cases[] = {
        {"good.A20", good, 0,
            "sound, 521 data records, program image of 16641 bytes at 000000-004100, 2 blocks"},
        {"checksum.A20", firmwareVariant(good, record11, brokenSum), 1, "line 11: checksum"},
        {"gap.A20", firmwareVariant(good, record11 + "\r\n", ""), 1,
            "line 11: address 000140 leaves a gap"},
        {"nothex.A20", firmwareVariant(good, record11, notHex), 1,
            "line 11: \"G\" in column 21 is not a hex digit"},
        {"oversized.A20", good + std::string(2000000, '\n'), 1, "more than 2000000 bytes"},
    };
    for (const Case& c : cases) {
        std::ofstream(dir.file(c.name), std::ios::binary) << c.text;
        Outcome run = ltrak("firmware check " + dir.file(c.name));
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        const std::string& said = c.status == 0 ? run.out : run.err;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
        EXPECT_EQ(run.out.empty(), c.status != 0) << c.name;
    }
    EXPECT_EQ(ltrak("firmware check " + dir.file("missing.A20")).status, 1);

    // A damaged file stops before any port is opened (the port would fail).
    Outcome notSent =
        ltrak("firmware download --port /dev/ltrak-no-such-port " + dir.file("gap.A20"));
    EXPECT_EQ(notSent.status, 1);
    EXPECT_NE(notSent.err.find("line 11"), std::string::npos) << notSent.err;
    Outcome noPort =
        ltrak("firmware download --port /dev/ltrak-no-such-port " + dir.file("good.A20"));
    EXPECT_EQ(noPort.status, 1);
    EXPECT_NE(noPort.err.find("could not be opened"), std::string::npos) << noPort.err;
}

TEST(Ltrak, DownloadsFirmwareIntoTheLoaderOnlyWhenAllowedToErase)
{
    lt::testing::TempDirectory dir;
    const std::vector<std::uint8_t> image = lt::testing::programImage(20000);
    const std::string file = dir.file("BASIC.A20");
    std::ofstream(file, std::ios::binary) << lt::testing::sRecordText(image);

    // The flash of a simulated instrument holds a program from the factory;
    // both downloads run at once (each spends most of its time in the
    // loader's prescribed pauses).
    ltsim::Simulator instrument;
    ASSERT_TRUE(instrument.start());
    auto written = std::async(std::launch::async, [&] {
        return ltrak(
            "firmware download --erase --baud 9600 --port " + instrument.devicePath() + " " + file);
    });
    Outcome refused = ltrak("firmware download --port sim " + file);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty()) << refused.out;
    EXPECT_NE(refused.err.find("simulator"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--erase was not given"), std::string::npos) << refused.err;

    Outcome done = written.get();
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.out.find("Programming done, 15 blocks written"), std::string::npos) << done.out;
    std::vector<std::uint8_t> expected(image.begin() + 0x4000, image.end());
    expected.resize(15 * 256, 0xFF);
    EXPECT_EQ(instrument.flashImage(), expected);
    EXPECT_EQ(instrument.rejectedBlocks(), 0);
    EXPECT_FALSE(instrument.inLoader());
}

} // namespace
