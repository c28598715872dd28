// ltrak as a script uses it: the exit status, what reaches standard output
// and standard error, for good and bad command lines.
#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "common/TempDirectory.h"

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
    };
    for (const auto& [arguments, status] : cases) {
        Outcome run = ltrak(arguments);
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments << ": " << run.out;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
    for (const char* help : {"--help", "measure --help", "chart --help", "chart compare --help",
             "chart convert --help"}) {
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

} // namespace
