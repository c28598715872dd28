#include "PageFixture.h"

#include <cstdlib>
#include <filesystem>

#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include "core/settings/IniFile.h"

// One QApplication for the whole test program, on the offscreen platform.
QApplication& application()
{
    // The offscreen platform unless the caller chose one (to watch the tests).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "instrument_page_tests";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: destroying it among the static
    // objects at exit would outlive parts of Qt it needs.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void PageTest::SetUp()
{
    application();
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
    const char* dir = std::getenv("LTRAKW_SCREENSHOT_DIR");
    if (!dir || !sheet)
        return;
    QApplication::processEvents();
    sheet->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

// Under LeakSanitizer: the system's font configuration library keeps a few
// allocations of its caches to the end of the process; they are not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
