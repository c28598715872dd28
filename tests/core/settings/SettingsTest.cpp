// Typed settings: defaults, ranges and the values written back, numbers in
// the C locale under a German desktop, and a config directory that cannot
// be written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "common/CommaLocale.h"
#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/settings/DensitySettings.h"
#include "core/settings/Settings.h"
#include "core/station/Workstation.h"

namespace lt {
namespace {

using testing::CommaLocale;
using testing::TempDirectory;

class SettingsTest : public ::testing::Test {
protected:
    void writeSettings(const std::string& text) { dir.write("LtrakW.ini", text); }
    std::optional<std::string> stored(const char* section, const char* key)
    {
        return IniFile(dir.file("LtrakW.ini")).getString(section, key);
    }

    TempDirectory dir;
};

TEST_F(SettingsTest, MissingKeysAreCreatedWithTheirDefaults)
{
    Settings settings(dir.path());
    EXPECT_EQ(settings.load(keys::kFilterType), 2);
    EXPECT_EQ(settings.load(keys::kIllumType), 4);
    EXPECT_EQ(settings.load(keys::kNarrowFilter), 1);
    EXPECT_EQ(settings.load(keys::kSpotColorFile), "SCFile.txt");
    EXPECT_EQ(settings.load(keys::kListName), homeDefaultPath("MyList.txt"));
    EXPECT_EQ(settings.load(keys::kSlopeCyan, 0.0), 1.0);
    EXPECT_EQ(stored("TaviDens", "FilterType"), "2");
    EXPECT_EQ(stored("TaviDens", "DSlopeC"), "1.");
    EXPECT_EQ(stored("SC", "SCFile"), "SCFile.txt");
}

TEST_F(SettingsTest, OutOfRangeValuesAreClampedAndWrittenBack)
{
    writeSettings("[TaviDens]\nMetric=7\nIllumType=12\n[SC]\nNarrowFilter=-3\n[TaviLight]\nRemote="
                  "5\nITime=300\n"
                  "CommNumber=3\n");
    Settings settings(dir.path());
    EXPECT_EQ(settings.load(keys::kMetric), 4);
    EXPECT_EQ(settings.load(keys::kIllumType), 8);
    EXPECT_EQ(settings.load(keys::kNarrowFilter), 0);
    EXPECT_EQ(settings.load(keys::kRemote), 1);
    EXPECT_EQ(settings.load(keys::kIntegrationTime), 255);
    EXPECT_EQ(settings.load(keys::kCommNumber), 3) << "the page itself reports an unsupported port";
    EXPECT_EQ(stored("TaviDens", "Metric"), "4");
    EXPECT_EQ(stored("SC", "NarrowFilter"), "0");
    EXPECT_EQ(stored("TaviLight", "ITime"), "255");
}

TEST_F(SettingsTest, MetricZeroReadsAsProcessColor)
{
    writeSettings("[TaviDens]\nMetric=0\n");
    EXPECT_EQ(Settings(dir.path()).load(keys::kMetric), 1);
}

TEST_F(SettingsTest, MaximumWavelengthStaysAboveTheMinimum)
{
    writeSettings("[TaviLight]\nMinWLen=500\nMaxWLen=480\n");
    Settings settings(dir.path());
    int minimum = settings.load(keys::kMinWavelength);
    EXPECT_EQ(settings.loadMaxWavelength(minimum), 540);
    EXPECT_EQ(stored("TaviLight", "MaxWLen"), "540");

    writeSettings("[TaviLight]\nMinWLen=2000\nMaxWLen=2000\n");
    Settings clamped(dir.path());
    minimum = clamped.load(keys::kMinWavelength);
    EXPECT_EQ(minimum, 950);
    EXPECT_EQ(clamped.loadMaxWavelength(minimum), 950);
}

TEST_F(SettingsTest, SpectrometerCalibrationOutsideItsRangeGivesTheNominalValues)
{
    writeSettings("[TaviSpec]\nSlope=4.0\nZero=200.5\n");
    Settings settings(dir.path());
    EXPECT_DOUBLE_EQ(settings.loadSpectrometerSlope(), 2.94118);
    EXPECT_DOUBLE_EQ(settings.loadSpectrometerZero(), 200.5);
    writeSettings("[TaviSpec]\nSlope=3.1\nZero=banana\n");
    EXPECT_DOUBLE_EQ(settings.loadSpectrometerSlope(), 3.1);
    EXPECT_DOUBLE_EQ(settings.loadSpectrometerZero(), 226.5);
}

TEST_F(SettingsTest, RealNumbersWriteBackTheTextReadOrTheValueInUse)
{
    writeSettings("[TaviDens]\nDSlopeM=1.2500\nDYNC=abc\n");
    Settings settings(dir.path());
    EXPECT_DOUBLE_EQ(settings.load(keys::kSlopeMagenta, 1.0), 1.25);
    EXPECT_EQ(stored("TaviDens", "DSlopeM"), "1.2500");
    EXPECT_DOUBLE_EQ(settings.load(keys::kYuleNielsenCyan, 1.7), 1.7)
        << "garbage keeps the value in memory";
    EXPECT_EQ(stored("TaviDens", "DYNC"), "1.700000");
    settings.storeText(keys::kYuleNielsenSpot, "2,5x");
    EXPECT_EQ(stored("TaviDens", "DYNS"), "2,5x") << "the dialog's text is stored as typed";
}

TEST_F(SettingsTest, OverlongPathGivesTheDefault)
{
    writeSettings("[QC]\nQCFile=" + std::string(400, 'q') + "\n");
    Settings settings(dir.path());
    EXPECT_EQ(settings.load(keys::kQualityControlFile), "QCFile.txt");
    EXPECT_EQ(stored("QC", "QCFile"), "QCFile.txt");
}

TEST_F(SettingsTest, DensityParametersRoundTripThroughTheBlock)
{
    writeSettings(
        "[TaviDens]\nDSlopeK=0.9\nDSlopeC=1.1\nDYNY=1.8\nDYNS=2.2\nFilterType=3\nObserverType=1\n");
    Settings settings(dir.path());
    DensityParameterBlock block;
    block.setReal(slot::kSlopeMagenta, 1.0f);
    loadDensityParameters(settings, block);
    EXPECT_FLOAT_EQ(block.real(slot::kSlopeBlack), 0.9f);
    EXPECT_FLOAT_EQ(block.real(slot::kSlopeCyan), 1.1f);
    EXPECT_FLOAT_EQ(block.real(slot::kSlopeMagenta), 1.0f);
    EXPECT_FLOAT_EQ(block.real(slot::yuleNielsen(Yellow)), 1.8f);
    EXPECT_FLOAT_EQ(block.real(slot::kYuleNielsenSpot), 2.2f);
    EXPECT_EQ(block.integer(slot::kFilterType), 3);
    EXPECT_EQ(block.integer(slot::kObserverType), 1);
    EXPECT_EQ(block.integer(slot::kIllumType), 4);

    block.setReal(slot::kSlopeCyan, 1.5f);
    block.setReal(slot::kYuleNielsenSpot, 9.0f);
    storeDensityParameters(settings, block);
    EXPECT_EQ(stored("TaviDens", "DSlopeC"), "1.500000");
    EXPECT_EQ(stored("TaviDens", "DYNS"), "2.2") << "the spot keys keep the dialog's text";
}

TEST_F(SettingsTest, StartUpSectionOfTaviIni)
{
    Settings settings(dir.path());
    settings.writeStartupSection();
    EXPECT_EQ(dir.read("tavi.ini"), "[tavi.ini]\r\nPropPages=0x11100000\r\n");
}

TEST_F(SettingsTest, MissingConfigDirectoryIsMade)
{
    Settings settings(dir.file("new/ltrakw"));
    settings.store(keys::kMetric, 2);
    EXPECT_EQ(IniFile(dir.file("new/ltrakw/LtrakW.ini")).getInt("TaviDens", "Metric", 0), 2);
}

TEST_F(SettingsTest, WindowsSpellingOfTheFileIsTheSameFile)
{
    dir.write("LtrakW.INI", "[TaviDens]\nMetric=3\n");
    Settings settings(dir.path());
    EXPECT_EQ(settings.load(keys::kMetric), 3);
    EXPECT_EQ(settings.applicationFile().path(), dir.file("LtrakW.INI"));
}

TEST_F(SettingsTest, PortDevicesFromEnvironmentSettingsOrDefault)
{
    writeSettings("[Ports]\nCOM2=/dev/ttyACM0\n");
    Settings settings(dir.path());
    ::unsetenv("LTRAKW_COM1");
    ::unsetenv("LTRAKW_COM2");
    EXPECT_EQ(settings.portDevice(1), "/dev/ttyS0");
    EXPECT_EQ(settings.portDevice(2), "/dev/ttyACM0");
    ::setenv("LTRAKW_COM2", "sim", 1);
    EXPECT_EQ(settings.portDevice(2), "sim");
    ::unsetenv("LTRAKW_COM2");
    EXPECT_EQ(settings.portDevice(5), "");
}

TEST_F(SettingsTest, UnwritableConfigDirectoryIsReportedOnceAndValuesStayInMemory)
{
    // A config directory below a plain file can neither be made nor written, even by root.
    dir.write("plain", "not a directory");
    Settings settings(dir.file("plain") + "/ltrakw");
    std::vector<std::string> reports;
    settings.setProblemHandler([&](const std::string& message) { reports.push_back(message); });
    EXPECT_EQ(settings.load(keys::kMetric), 1);
    settings.store(keys::kMetric, 3);
    settings.store(keys::kNarrowFilter, 0);
    settings.writeStartupSection();
    EXPECT_EQ(settings.load(keys::kMetric), 3);
    EXPECT_EQ(settings.load(keys::kNarrowFilter), 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("in memory"), std::string::npos);
}

TEST_F(SettingsTest, WorkstationShowsTheSettingsProblemToTheOperatorOnce)
{
    dir.write("plain", "not a directory");
    testing::ScriptedOperator op;
    Workstation station(op, dir.file("plain") + "/ltrakw");
    station.settings().writeStartupSection();
    station.settings().store(keys::kMetric, 2);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(station.settings().load(keys::kMetric), 2);
}

TEST(NumberText, FormatsLikePrintfInTheCLocale)
{
    EXPECT_EQ(formatFixed(0.1234, 3, 3), "0.123");
    EXPECT_EQ(formatFixed(-0.05, 3, 3), "-0.050");
    EXPECT_EQ(formatFixed(51.83, 1, 3), "51.8");
    EXPECT_EQ(formatFixed(5.0, 1, 5), "  5.0");
    EXPECT_EQ(formatFixed(1.0, 6), "1.000000");
    EXPECT_EQ(formatFixed(0.125, 2), "0.12")
        << "ties of the exact binary value go to even, as printf does";
    EXPECT_EQ(formatFixed(1e20, 2), "100000000000000000000.00");
    EXPECT_EQ(formatInteger(-42), "-42");
}

TEST(NumberText, ParsesLikeScanfWithoutTheLocale)
{
    EXPECT_EQ(parseReal(" 1."), 1.0);
    EXPECT_EQ(parseReal("+2.5abc"), 2.5);
    EXPECT_EQ(parseReal("-.5"), -0.5);
    EXPECT_EQ(parseReal("1e3"), 1000.0);
    EXPECT_EQ(parseReal("1,5"), 1.0) << "a comma ends the number";
    EXPECT_EQ(parseReal(""), std::nullopt);
    EXPECT_EQ(parseReal("--1"), std::nullopt);
    EXPECT_EQ(parseReal("nan"), std::nullopt);
    EXPECT_EQ(parseReal("1e999"), std::nullopt);
    EXPECT_EQ(parseInteger("  -17 mm"), -17);
    EXPECT_EQ(parseInteger("+-1"), std::nullopt);
    EXPECT_EQ(parseInteger("4294967296"), std::nullopt);
    EXPECT_EQ(parseInteger("x1"), std::nullopt);
}

TEST_F(SettingsTest, NumbersStayInTheCLocaleUnderAGermanDesktop)
{
    CommaLocale german;
    if (!german.active())
        GTEST_SKIP() << german.reason;
    char printed[32];
    std::snprintf(printed, sizeof printed, "%f", 1.0);
    ASSERT_STREQ(printed, "1,000000") << "the locale really uses a comma";

    EXPECT_EQ(formatFixed(1.0, 6), "1.000000");
    EXPECT_EQ(parseReal("1.5"), 1.5);
    writeSettings("[TaviDens]\nDSlopeC=1.5\n");
    Settings settings(dir.path());
    EXPECT_DOUBLE_EQ(settings.load(keys::kSlopeCyan, 1.0), 1.5);
    settings.store(keys::kSlopeYellow, 1.0);
    EXPECT_EQ(stored("TaviDens", "DSlopeY"), "1.000000");
}

} // namespace
} // namespace lt
