// A workstation with a scripted operator, a recorded beeper and a
// simulator on COM1, for the tests of the main window and the instrument
// page.
#pragma once

#include "common/ScriptedOperator.h"
#include "core/station/Workstation.h"
#include "sim/include/ltsim/Simulator.h"

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include "tests/ui/common/WidgetTestSupport.h"
#include "ui/instrument_page/TaviLight.h"
#include "ui/shell/HVSheet.h"

using lt::testing::waitFor;

struct Beep {
    unsigned long frequency; // [Hz]
    unsigned long duration; // [ms]
    bool operator==(const Beep&) const = default;
};

class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes key=value into section of LtrakW.ini before the page exists.
    void presetSetting(
        const std::string& section, const std::string& key, const std::string& value);
    // Creates the main sheet (and with it the instrument page).
    void createSheet();
    CTaviLight& page() { return *sheet->instrumentPage(); }
    // "Init Device" with the answers given; waits for the flow to finish.
    void clickInit();
    std::string readSetting(const std::string& section, const std::string& key);
    // Saves a picture of the sheet when LTRAKW_SCREENSHOT_DIR is set.
    void screenshot(const std::string& name);

    std::string configDir;
    lt::testing::ScriptedOperator op;
    std::vector<Beep> beeps;
    std::unique_ptr<ltsim::Simulator> simulator;
    std::unique_ptr<lt::Workstation> workstation;
    std::unique_ptr<CHVSheet> sheet;
};

inline const Beep kSuccessBeep {800, 30};
inline const std::vector<Beep> kFailureBeeps {{800, 30}, {1600, 30}, {800, 30}, {1600, 30}};
inline const std::vector<Beep> kLinkLostBeeps {{800, 50}, {800, 50}};
