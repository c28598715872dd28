// The instrument page's settings: what it reads at start, normalises and
// writes back, and what the operator's edits do.
#include "PageFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

TEST_F(PageTest, UnsupportedCommNumberIsReportedAndLeavesBothRadiosClear)
{
    presetSetting("TaviLight", "CommNumber", "3");
    createSheet();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "COMM Number not supported !");
    EXPECT_FALSE(page().comRadio(1)->isChecked());
    EXPECT_FALSE(page().comRadio(2)->isChecked());
    EXPECT_EQ(readSetting("TaviLight", "CommNumber"), "3");
}

TEST_F(PageTest, ChoosingAnotherPortDisablesMeasuringUntilTheNextInit)
{
    createSheet();
    op.answer(lt::MessageAnswer::Ok);
    clickInit();
    page().remoteButton()->click(); // remote off: "Acquire" enabled
    ASSERT_TRUE(page().acquireButton()->isEnabled());
    page().comRadio(2)->click();
    EXPECT_TRUE(page().comRadio(2)->isChecked());
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    EXPECT_FALSE(page().remoteButton()->isEnabled());
    EXPECT_EQ(readSetting("TaviLight", "CommNumber"), "2");
}

TEST_F(PageTest, NumberOfScansIsKeptBetweenOneAnd255)
{
    presetSetting("TaviLight", "Brand", "3");
    createSheet();
    QLineEdit* scans = page().scansEdit();
    scans->clear();
    QTest::keyClicks(scans, "0");
    EXPECT_EQ(scans->text().toStdString(), "1");
    EXPECT_EQ(readSetting("TaviLight", "NoOfScans"), "1");
    scans->clear();
    QTest::keyClicks(scans, "300");
    EXPECT_EQ(scans->text().toStdString(), "255");
    EXPECT_EQ(page().controller().scans(), 255);
    EXPECT_EQ(readSetting("TaviLight", "NoOfScans"), "255");
    scans->clear();
    QTest::keyClicks(scans, "12");
    EXPECT_EQ(readSetting("TaviLight", "NoOfScans"), "12");
}

TEST_F(PageTest, ScansOfZeroAndThreeHundredInTheFileAreNormalisedAtStart)
{
    presetSetting("TaviLight", "NoOfScans", "300");
    createSheet();
    EXPECT_EQ(page().controller().scans(), 255);
    EXPECT_EQ(readSetting("TaviLight", "NoOfScans"), "255");
}

TEST_F(PageTest, UpperLimitEqualToTheLowerBecomesFortyNanometresAbove)
{
    presetSetting("TaviLight", "MinWLen", "500");
    presetSetting("TaviLight", "MaxWLen", "500");
    createSheet();
    EXPECT_EQ(page().highLimitEdit()->text().toStdString(), "540");
    EXPECT_EQ(readSetting("TaviLight", "MaxWLen"), "540");
}

TEST_F(PageTest, UpperLimitAtTheTopOfTheRangeStaysAt950)
{
    presetSetting("TaviLight", "MinWLen", "950");
    presetSetting("TaviLight", "MaxWLen", "950");
    createSheet();
    EXPECT_EQ(page().controller().highLimit(), 950);
    EXPECT_EQ(readSetting("TaviLight", "MaxWLen"), "950");
}

TEST_F(PageTest, EveryPageKeyIsWrittenBackAtStart)
{
    createSheet();
    for (const char* key : {"CommNumber", "ITime", "Brand", "Gain", "NoOfScans", "MinWLen",
             "MaxWLen", "XYZFile", "ILLUMFile", "Remote"})
        EXPECT_NE(readSetting("TaviLight", key), "<missing>") << key;
    EXPECT_EQ(readSetting("TaviLight", "ITime"), "4");
    EXPECT_EQ(readSetting("TaviLight", "XYZFile"), "XYZ2.txt");
}

TEST_F(PageTest, IlluminationBecomesTheDensitometersIlluminant)
{
    presetSetting("TaviLight", "Brand", "3");
    createSheet();
    QComboBox* illumination = nullptr;
    for (QComboBox* box : page().spectrometerGroup()->findChildren<QComboBox*>())
        if (box->count() == 11)
            illumination = box;
    ASSERT_NE(illumination, nullptr);
    EXPECT_EQ(illumination->itemText(3).toStdString(), "D65");
    illumination->setCurrentIndex(3);
    Q_EMIT illumination->activated(3);
    EXPECT_EQ(workstation->record().densityParameters.integer(lt::slot::kIllumType), 3);
    EXPECT_EQ(readSetting("TaviLight", "Light"), "3");
    EXPECT_EQ(page().controller().illumination(), 3);
}
