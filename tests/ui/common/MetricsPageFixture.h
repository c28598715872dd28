#pragma once
// The colour metrics page on a simulated workstation, shown at a fixed size:
// the set-up of the page's own tests and of the chart dialogs it opens.
#include <memory>

#include <QApplication>

#include "core/metrics/SimulatedStation.h"
#include "tests/ui/common/WidgetTestSupport.h"
#include "ui/metrics/TaviDens.h"

namespace lt::test {

class MetricsPageFixture : public SimulatedStation {
protected:
    // instrumentFirst: the instrument is opened and calibrated before the
    // page is made, as when the operator comes to the page after Init Device.
    explicit MetricsPageFixture(bool instrumentFirst = false) : instrumentFirst(instrumentFirst) { }

    void SetUp() override
    {
        testing::testApplication();
        SimulatedStation::SetUp();
        if (instrumentFirst)
            openInstrument();
        page = std::make_unique<CTaviDens>(*station);
        page->setInstrumentPage(&instrumentPage);
        page->resize(760, 620);
        page->show();
        QApplication::processEvents();
    }

    void TearDown() override
    {
        page.reset();
        SimulatedStation::TearDown();
    }

    FakeInstrumentPage instrumentPage;
    std::unique_ptr<CTaviDens> page;

private:
    bool instrumentFirst;
};

} // namespace lt::test
