// "Init Device": the white-reference prompts, the baud-rate question, the
// identity text and the error report, as the operator sees them.
#include "PageFixture.h"

#include <QLabel>
#include <QPushButton>

using lt::MessageAnswer;

TEST_F(PageTest, LumatrakSInitialisesAfterOkAndStartsRemoteMode)
{
    createSheet();
    op.answer(MessageAnswer::Ok);
    clickInit();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Place spectrophotometer \non white reference !");
    EXPECT_EQ(op.messages[0].caption, "Lumatrak S");
    EXPECT_EQ(op.messages[0].buttons, lt::MessageButtons::OkCancel);
    EXPECT_EQ(op.messages[0].icon, lt::MessageIcon::Exclamation);

    EXPECT_TRUE(page().controller().deviceReady());
    EXPECT_EQ(page().controller().lastResult(), 0u);
    // A Lumatrak S goes straight into remote mode.
    EXPECT_EQ(page().remoteButton()->text().toStdString(), "Remote On");
    EXPECT_TRUE(page().remoteButton()->isEnabled());
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    EXPECT_TRUE(page().remoteTimer().isActive());
    const std::string identity = page().controller().identity();
    ASSERT_FALSE(identity.empty());
    EXPECT_EQ(identity[0], 'V');
    EXPECT_LE(identity.size(), 12u);
    EXPECT_EQ(page().titleLabel()->text().toStdString(), "HighRes Spectrometer   " + identity);
    screenshot("after-init");
}

TEST_F(PageTest, CancelInTheWhiteReferencePromptLeavesTheButtonsDisabled)
{
    createSheet();
    op.answer(MessageAnswer::Cancel);
    clickInit();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_FALSE(page().controller().deviceReady());
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    EXPECT_FALSE(page().remoteButton()->isEnabled());
    EXPECT_FALSE(page().remoteTimer().isActive());
}

TEST_F(PageTest, SpectrolinoPromptAsksForTheNoFilter)
{
    simulator->setDevice(ltsim::DeviceKind::Spectrolino);
    presetSetting("TaviLight", "Brand", "2");
    createSheet();
    op.answer(MessageAnswer::Ok);
    clickInit();
    ASSERT_GE(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Use 'No' filter and place spectrometer on white reference !");
    EXPECT_EQ(op.messages[0].caption, "Spectrolino");
    EXPECT_TRUE(page().controller().deviceReady());
    // Only the Lumatrak S starts remote mode by itself.
    EXPECT_EQ(page().remoteButton()->text().toStdString(), "Remote Off");
    EXPECT_TRUE(page().acquireButton()->isEnabled());
}

TEST_F(PageTest, LumatrakAWithoutItsTableRunsAsLumatrakS)
{
    presetSetting("TaviLight", "Brand", "1");
    createSheet();
    // The simulator menu put a Lumatrak A behind the port; a Lumatrak S has
    // no table to answer the table query.
    simulator->setDevice(ltsim::DeviceKind::LumatrakS);
    clickInit();
    ASSERT_GE(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "The spectrophotometer will move\nonto white reference !");
    EXPECT_EQ(op.messages[0].buttons, lt::MessageButtons::Ok);
    EXPECT_NE(op.messages[1].text.find("There is no XY-Table connected"), std::string::npos);
    EXPECT_TRUE(waitFor([&] { return page().deviceTypeBox()->currentIndex() == 0; }));
    EXPECT_EQ(page().controller().deviceType(), 0);
}

TEST_F(PageTest, PortWithoutInstrumentGivesTheErrorReport)
{
    presetSetting("TaviLight", "CommNumber", "2"); // COM2 leads nowhere
    createSheet();
    clickInit();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text,
        "Trouble with Comm  2 !\r\n \n\rPossible reasons: \n"
        "no instrument power, wrong port, port not present or occupied !");
    EXPECT_EQ(op.messages[0].caption, "");
    EXPECT_EQ(op.messages[0].icon, lt::MessageIcon::Stop);
    EXPECT_GT(page().controller().lastResult(), 0u);
    EXPECT_TRUE(page().controller().identity().empty());
    EXPECT_FALSE(page().controller().deviceReady());
}

TEST_F(PageTest, SilentInstrumentIsOfferedTheNextBaudRate)
{
    // The instrument listens at 19200 baud and ignores requests at other rates.
    ltsim::SimulatorOptions options;
    options.baudRate = 19200;
    options.wrongBaud = ltsim::WrongBaudResponse::Silence;
    simulator = std::make_unique<ltsim::Simulator>(options);
    ASSERT_TRUE(simulator->start());
    CTaviSpec::SetPortDevice(1, simulator->devicePath().c_str());
    createSheet();
    op.answer(MessageAnswer::Yes); // try 19200
    op.answer(MessageAnswer::Ok); // white reference prompt
    clickInit();
    ASSERT_GE(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "Trouble with COM1,\r\n Try next Baud rate: 19200 ?");
    EXPECT_EQ(op.messages[0].caption, "COMPort Problem !");
    EXPECT_EQ(op.messages[0].buttons, lt::MessageButtons::YesNo);
    EXPECT_EQ(op.messages[1].caption, "Lumatrak S");
    EXPECT_TRUE(page().controller().deviceReady());
}

TEST_F(PageTest, NoToTheNextBaudRateEndsWithTheErrorReport)
{
    simulator->injectFault({ltsim::FaultKind::Silence, ltsim::FaultScope::FromNowOn});
    createSheet();
    op.answer(MessageAnswer::No);
    clickInit();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "Trouble with COM1,\r\n Try next Baud rate: 19200 ?");
    EXPECT_EQ(op.messages[1].text.rfind("Trouble with Comm  1 !", 0), 0u);
    EXPECT_FALSE(page().controller().deviceReady());
}
