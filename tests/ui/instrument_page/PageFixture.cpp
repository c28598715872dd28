#include "PageFixture.h"

#include <cstdlib>
#include <filesystem>

#include <QPixmap>
#include <QThread>

#include "core/settings/IniFile.h"

void PageTest::SetUp()
{
    lt::testing::testApplication();
    setenv("LTRAKW_NO_SOUND", "1", 1);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const char* base = std::getenv("LTRAKW_CONFIG_DIR");
    configDir = std::string(base ? base : "/tmp/ltrakw-page-tests") + "/" +
        info->test_suite_name() + "." + info->name();
    std::filesystem::remove_all(configDir);
    std::filesystem::create_directories(configDir);

    simulator = std::make_unique<ltsim::Simulator>();
    std::string error;
    ASSERT_TRUE(simulator->start(&error)) << error;
    CTaviSpec::SetPortDevice(1, simulator->devicePath().c_str());
    CTaviSpec::SetPortDevice(2, "/nonexistent/ltrakw-test-port");
    workstation = std::make_unique<lt::Workstation>(op, configDir);
}

void PageTest::TearDown()
{
    sheet.reset();
    workstation.reset();
    simulator.reset();
}

void PageTest::presetSetting(
    const std::string& section, const std::string& key, const std::string& value)
{
    workstation->settings().applicationFile().writeString(section, key, value);
}

std::string PageTest::readSetting(const std::string& section, const std::string& key)
{
    return workstation->settings().applicationFile().getString(section, key).value_or("<missing>");
}

void PageTest::createSheet()
{
    sheet = std::make_unique<CHVSheet>(
        *workstation, simulator.get(), [this](unsigned long frequency, unsigned long duration) {
            beeps.push_back({frequency, duration});
        });
    sheet->resize(1000, 700);
    sheet->show();
    QApplication::processEvents();
}

void PageTest::clickInit()
{
    page().initButton()->click();
    QApplication::processEvents();
}

void PageTest::screenshot(const std::string& name)
{
    if (sheet)
        lt::testing::keepPicture(*sheet, QString::fromStdString(name));
}
