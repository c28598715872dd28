// The array spectrometer on the instrument page: its settings shown only
// for that device, its initialisation and references, and the sample.
#include "PageFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "ui/graph/SpectrumGraphWidget.h"

namespace {

class SpectrometerPage : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        simulator->setDevice(ltsim::DeviceKind::Spectrometer);
        presetSetting("TaviLight", "Brand", "3");
        presetSetting("TaviLight", "ITime", "0"); // 40 ms: a quick acquisition
        presetSetting("TaviLight", "MinWLen", "400");
        presetSetting("TaviLight", "MaxWLen", "700");
        createSheet();
    }

    QPushButton* button(const char* caption)
    {
        for (QPushButton* candidate : page().findChildren<QPushButton*>())
            if (candidate->text() == caption)
                return candidate;
        return nullptr;
    }
};

} // namespace

TEST_F(SpectrometerPage, SettingsAreShownOnlyForTheSpectrometer)
{
    EXPECT_TRUE(page().spectrometerGroup()->isVisible());
    EXPECT_TRUE(page().scansEdit()->isEnabled());
    Q_EMIT page().deviceTypeBox()->activated(0);
    EXPECT_FALSE(page().spectrometerGroup()->isVisible());
    EXPECT_DOUBLE_EQ(page().controller().slope(), 10.0);
    EXPECT_DOUBLE_EQ(page().controller().zero(), 380.0);
    EXPECT_EQ(page().controller().lastPixel(), 35);
}

TEST_F(SpectrometerPage, InitReferencesAndSampleInTheirOrder)
{
    clickInit();
    ASSERT_EQ(page().controller().lastResult(), 0u)
        << (op.messages.empty() ? "" : op.messages.back().text);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(button("DarkRef")->isEnabled());
    EXPECT_TRUE(button("New Parameter")->isEnabled());
    EXPECT_FALSE(button("ZeroRef")->isEnabled());
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    EXPECT_NEAR(page().controller().slope(), 2.94118, 1e-4);
    EXPECT_EQ(readSetting("TaviSpec", "Slope"), "2.941180");
    EXPECT_EQ(page().controller().firstPixel(), static_cast<int>((400 - 226.5) / 2.94118 + 0.5));

    simulator->setSample("light trap");
    button("DarkRef")->click();
    ASSERT_EQ(page().controller().lastResult(), 0u);
    EXPECT_TRUE(button("ZeroRef")->isEnabled());
    EXPECT_FALSE(page().acquireButton()->isEnabled());

    simulator->setSample("white");
    button("ZeroRef")->click();
    ASSERT_EQ(page().controller().lastResult(), 0u);
    EXPECT_TRUE(page().acquireButton()->isEnabled());
    EXPECT_EQ(page().graph()->curveType(), lt::CurveType::WhiteSignal);
    EXPECT_EQ(page().graph()->curve().size(), 301u); // 400 ... 700 nm, one point per nm
    screenshot("spectrometer-white");

    simulator->setSample("Y100");
    page().acquireButton()->click();
    ASSERT_EQ(page().controller().lastResult(), 0u);
    EXPECT_EQ(page().graph()->curveType(), lt::CurveType::SpectrometerRemission);
    const Aquire& sample = page().controller().sampleRecord();
    EXPECT_EQ(page().controller().valueLine().rfind(" X= ", 0), 0u);
    EXPECT_EQ(page().controller().valueLine(), lt::spectrometerValueLine(sample));
    // Yellow ink against the white reference: dark in the blue, light in the red.
    const auto& curve = page().graph()->curve();
    EXPECT_GT(curve[50].y, curve[250].y);
    EXPECT_LE(sample.Statistics[0], sample.Statistics[5]); // minimum <= mean
    EXPECT_LE(sample.Statistics[5], sample.Statistics[2]); // mean <= maximum
    screenshot("spectrometer-sample");
}

TEST_F(SpectrometerPage, NewParameterAsksForNewReferences)
{
    clickInit();
    button("DarkRef")->click();
    button("ZeroRef")->click();
    ASSERT_TRUE(page().acquireButton()->isEnabled());
    page().lowLimitEdit()->setText("450");
    Q_EMIT page().lowLimitEdit()->textEdited("450");
    button("New Parameter")->click();
    ASSERT_EQ(page().controller().lastResult(), 0u);
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    EXPECT_FALSE(button("ZeroRef")->isEnabled());
    EXPECT_DOUBLE_EQ(page().controller().firstWavelength(), 450.0);
    EXPECT_EQ(readSetting("TaviLight", "MinWLen"), "450");
}

TEST_F(SpectrometerPage, DarkReferenceOnAClosedPortReportsTheCommError)
{
    // Not initialised: the port is not open.
    button("DarkRef")->setEnabled(true);
    button("DarkRef")->click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Error with Comm !");
    EXPECT_EQ(op.messages[0].caption, "TaviLight");
    EXPECT_FALSE(button("ZeroRef")->isEnabled());
}
