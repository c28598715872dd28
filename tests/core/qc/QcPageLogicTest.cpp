// The quality-control page's commands without a window: what each button and
// field does to the set and to the fields, the operator's messages, and the
// set's file through the operator's file choice.
#include "core/qc/QcPageLogic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/qc/QcSetFile.h"
#include "core/station/Workstation.h"

namespace lt {
namespace {

class QcPageLogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        station = std::make_unique<Workstation>(op, directory.path());
        page = std::make_unique<QcPageLogic>(*station);
        page->initialise();
    }

    // Types the three values and the comment, then clicks "Add".
    void add(const char* l, const char* a, const char* b, const char* comment = "")
    {
        page->typed(QcField::L, l);
        page->typed(QcField::A, a);
        page->typed(QcField::B, b);
        page->typed(QcField::Comment, comment);
        page->add();
    }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const auto& shown : op.messages)
            texts.push_back(shown.text);
        return texts;
    }

    std::string stored(const char* section, const char* key)
    {
        return station->settings().applicationFile().getString(section, key).value_or("<missing>");
    }

    testing::TempDirectory directory;
    testing::ScriptedOperator op;
    std::unique_ptr<Workstation> station;
    std::unique_ptr<QcPageLogic> page;
};

TEST_F(QcPageLogicTest, SamplesAreJudgedOnlyOnceThePageHasStarted)
{
    QcPageLogic unstarted(*station);
    unstarted.Update({50, 0, 0});
    EXPECT_EQ(unstarted.form().spread, "");
    EXPECT_EQ(unstarted.run().means, (Lab {}));
}

TEST_F(QcPageLogicTest, GreenYellowAndRedJudgementsFillTheFields)
{
    add("50", "10", "-20", "Reference");
    ASSERT_EQ(page->set().entryCount, 1);
    EXPECT_EQ(page->form().entryNumber, "1");

    page->Update({50.5, 10.5, -20.0});
    EXPECT_EQ(page->form().statusColor, (QcRgb {0, 255, 0}));
    EXPECT_EQ(page->form().matchNumber, "1");
    EXPECT_EQ(page->form().deltaE, "0.71");
    EXPECT_EQ(page->form().deltaL, "0.50");
    EXPECT_EQ(page->form().lab, (std::array<std::string, 3> {"50.50", "10.50", "-20.00"}));
    EXPECT_EQ(page->form().spread, "0.00");
    EXPECT_EQ(
        page->form().tolerances, (std::array<std::string, 4> {"2.00", "1.50", "2.00", "1.50"}));
    EXPECT_TRUE(page->form().loggingEnabled);
    EXPECT_EQ(page->form().comment, "");

    page->Update({48.2, 10.0, -20.0});
    EXPECT_EQ(page->form().statusColor, (QcRgb {255, 255, 0}));
    EXPECT_EQ(page->form().deltaL, "-1.80");

    page->Update({50.0, 13.0, -20.0});
    EXPECT_EQ(page->form().statusColor, (QcRgb {255, 0, 0}));
}

TEST_F(QcPageLogicTest, AGroupInProgressShowsDashesAndDisablesLogging)
{
    add("50", "0", "0");
    page->typed(QcField::Average, "3");
    page->Update({50, 1, 0});
    EXPECT_EQ(page->form().lab[0], kQcGroupInProgressText);
    EXPECT_FALSE(page->form().loggingEnabled);
    page->logMatch();
    EXPECT_EQ(page->set().matchCount, 0);
    // The plane follows the running mean meanwhile.
    page->Update({50, 3, 0});
    EXPECT_DOUBLE_EQ(page->graphicsState().pointA, 2.0);
    page->Update({50, 5, 0});
    EXPECT_EQ(page->form().lab[1], "3.00");
    EXPECT_TRUE(page->form().loggingEnabled);
    EXPECT_DOUBLE_EQ(page->graphicsState().pointA, 5.0); // the sample itself again

    page->typed(QcField::Average, "0");
    page->Update({50, 0, 0});
    EXPECT_EQ(page->form().average, "1");
}

TEST_F(QcPageLogicTest, LoggingTakesTheShownValuesWithCommasAndRefusesTheThreeHundredFirst)
{
    add("50", "0", "0");
    page->Update({51, 1, -1});
    page->typed(QcField::L, "51,25"); // typed with a decimal comma
    page->logMatch();
    ASSERT_EQ(page->set().matchCount, 1);
    const QcMatch& match = page->set().matches[0];
    EXPECT_EQ(match.recordNumber, 1);
    EXPECT_EQ(match.matchedEntry, 1);
    EXPECT_EQ(match.status, QcStatus::Ok);
    EXPECT_DOUBLE_EQ(match.lab[0], 51.25);
    EXPECT_DOUBLE_EQ(match.deltaE, 1.73);
    EXPECT_DOUBLE_EQ(match.deltaL, 1.0);
    EXPECT_DOUBLE_EQ(match.deltaB, -1.0);

    for (int i = 1; i < kQcMaxMatches; ++i)
        page->logMatch();
    EXPECT_TRUE(op.messages.empty());
    page->logMatch();
    EXPECT_EQ(page->set().matchCount, kQcMaxMatches);
    EXPECT_EQ(messages(), (std::vector<std::string> {kQcLogFullMessage}));
}

// The formula chosen with the colour metrics page's "dE" combo reaches the
// judgement from the next sample on and names itself beside "dE:" and in the
// printout; the set's text stays the same whichever formula judges.
TEST_F(QcPageLogicTest, TheChosenFormulaJudgesNamesItselfAndLeavesTheSetTextAlone)
{
    EXPECT_EQ(page->form().deltaEFormula, "dE76");
    EXPECT_EQ(page->printClosingLines().front(), "Colour differences by dE76");
    add("53", "60", "0", "Lighter");
    add("50", "64", "0", "More chroma");
    const Lab sample {50, 60, 0};

    page->Update(sample);
    EXPECT_EQ(page->form().matchNumber, "1");
    EXPECT_EQ(page->form().deltaE, "3.00");
    EXPECT_EQ(page->form().statusColor, (QcRgb {255, 0, 0}));
    page->logMatch();
    const std::string text76 = page->printText();

    station->settings().store(keys::kDeltaEFormula, static_cast<int>(DeltaEFormula::Ciede2000));
    page->showFormula();
    EXPECT_EQ(page->form().deltaEFormula, "dE76"); // still the formula of the dE shown
    page->Update(sample);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%.2f", deltaE2000({50, 64, 0}, sample));
    EXPECT_EQ(page->form().deltaEFormula, "dE00");
    EXPECT_EQ(page->form().matchNumber, "2");
    EXPECT_EQ(page->form().deltaE, expected);
    EXPECT_EQ(page->form().statusColor, (QcRgb {0, 255, 0}));
    EXPECT_EQ(page->printText(), text76);

    page->logMatch();
    EXPECT_EQ(page->printClosingLines().front(),
        "Colour differences by dE00; the logged matches by dE76, dE00");
    EXPECT_EQ(page->printClosingLines()[1].rfind("Summary of the log: 2 matches", 0), 0u);
}

TEST_F(QcPageLogicTest, AddInsertAndChangeFollowTheirRules)
{
    page->add();
    EXPECT_EQ(messages(), (std::vector<std::string> {kQcNothingToAddMessage}));
    op.messages.clear();

    add("40", "1", "2", "first");
    page->Update({60, 0, 0});
    page->add(); // a single reading completes its group: the sample as shown
    EXPECT_EQ(page->set().entries[1].lab[0], 60.0);

    page->typed(QcField::Average, "2");
    page->Update({70, 0, 0}); // "--" in L, a, b
    page->add(); // "--" is not empty: an entry 0, 0, 0
    EXPECT_EQ(page->set().entryCount, 3);
    EXPECT_EQ(page->set().entries[2].lab, (Lab {0, 0, 0}));
    page->insert(1); // but "--" reads 0: refused
    EXPECT_EQ(messages(), (std::vector<std::string> {kQcNothingToInsertMessage}));
    op.messages.clear();

    page->insert(std::nullopt);
    page->change(std::nullopt);
    page->remove(std::nullopt);
    EXPECT_EQ(messages(), (std::vector<std::string>(3, kQcNoItemSelectedMessage)));

    page->typed(QcField::L, "45");
    page->typed(QcField::Comment, "replaced");
    page->insert(3);
    EXPECT_EQ(page->set().entries[2].lab, (Lab {45, 0, 0}));
    EXPECT_EQ(page->set().comments[2], "replaced");

    // "Change" moves the plotted point to the entry while no group is in progress.
    page->typed(QcField::Average, "1");
    page->Update({10, 10, 10});
    page->change(1);
    EXPECT_EQ(page->form().lab, (std::array<std::string, 3> {"40.00", "1.00", "2.00"}));
    EXPECT_EQ(page->form().comment, "first");
    EXPECT_DOUBLE_EQ(page->graphicsState().pointA, 1.0);
    EXPECT_DOUBLE_EQ(page->graphicsState().pointB, 2.0);
    EXPECT_FLOAT_EQ(station->record().measurement.ColorTriple1[0], 40.0f);
}

TEST_F(QcPageLogicTest, TheListRefusesItsTwoHundredFirstEntry)
{
    for (int i = 0; i < kQcMaxEntries; ++i)
        add("50", "0", "0");
    EXPECT_TRUE(op.messages.empty());
    add("51", "0", "0");
    EXPECT_EQ(page->set().entryCount, kQcMaxEntries);
    EXPECT_EQ(messages(), (std::vector<std::string> {kQcListFullMessage}));
}

TEST_F(QcPageLogicTest, TheNumberFieldAddressesOneToTwoHundredOnly)
{
    add("50", "0", "0");
    page->typed(QcField::EntryNumber, "150"); // an unused slot shows its stored tolerances
    EXPECT_EQ(
        page->form().tolerances, (std::array<std::string, 4> {"0.00", "0.00", "0.00", "0.00"}));
    page->typed(QcField::DeltaELight, "3,5");
    EXPECT_EQ(page->set().entries[149].tolerance(QcTolerance::DeltaELight), 3.5);

    page->typed(QcField::EntryNumber, "0"); // leaves the edits as they are, edits go nowhere
    EXPECT_EQ(page->form().tolerances[0], "3,5");
    const QcSet before = page->set();
    page->typed(QcField::DeltaELight, "4");
    EXPECT_EQ(page->set().entries, before.entries);

    page->typed(QcField::EntryNumber, "99999"); // counts as 200
    page->typed(QcField::DeltaLDark, "25"); // out of range: stored as 0
    page->typed(QcField::DeltaEDark, "1.5");
    EXPECT_EQ(page->set().entries[199].tolerances, (QcTolerances {0, 0, 1.5, 0}));

    page->selectEntry(1);
    EXPECT_EQ(page->form().entryNumber, "1");
    EXPECT_EQ(page->form().tolerances[0], "2.00");
}

TEST_F(QcPageLogicTest, LimitsFromTheCurrentJudgementAndAll)
{
    page->setLightLimit(); // no dE shown: nothing
    EXPECT_EQ(page->form().tolerances[0], "");
    add("50", "0", "0");
    add("60", "0", "0");
    page->Update({51, 1.2, 0});
    page->setLightLimit();
    EXPECT_EQ(page->set().entries[0].tolerances, (QcTolerances {1.56, 1.0, 2.0, 1.5}));
    EXPECT_EQ(page->form().tolerances[0], "1.56");
    EXPECT_EQ(page->form().tolerances[1], "1.00");
    page->Update({49, 0, 0});
    page->setDarkLimit();
    EXPECT_EQ(page->set().entries[0].tolerances, (QcTolerances {1.56, 1.0, 1.0, 1.0}));

    page->applyToAll();
    EXPECT_EQ(page->set().entries[1].tolerances, page->set().entries[0].tolerances);
}

TEST_F(QcPageLogicTest, DeleteAndClearUpdateTheFields)
{
    add("50", "0", "0", "one");
    add("60", "0", "0", "two");
    page->remove(1);
    EXPECT_EQ(page->set().entryCount, 1);
    EXPECT_EQ(page->set().comments[0], "two");
    EXPECT_EQ(page->form().entryNumber, "1");
    page->remove(1);
    EXPECT_EQ(page->form().entryNumber, "");
    EXPECT_EQ(page->form().tolerances[0], "");

    add("50", "0", "0");
    page->Update({50, 0, 0});
    op.messageAnswer = MessageAnswer::No;
    page->clearList();
    EXPECT_EQ(page->set().entryCount, 1);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kQcClearQuestion);
    EXPECT_EQ(op.messages[0].caption, kQcClearCaption);
    EXPECT_EQ(op.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Exclamation);

    op.messageAnswer = MessageAnswer::Yes;
    page->clearList();
    EXPECT_EQ(page->set().entryCount, 0);
    EXPECT_EQ(page->form().statusColor, kQcWhite);
    EXPECT_EQ(page->form().matchNumber, "");
    EXPECT_EQ(page->form().deltaE, "");
    EXPECT_EQ(page->set().entries[0].tolerances, (QcTolerances {}));
}

TEST_F(QcPageLogicTest, SaveAndLoadGoThroughTheOperatorsChoiceAndTheSettings)
{
    add("55.5", "-30", "-40", "Cyan");
    add("48", "70", "-2", "Magenta");
    page->typed(QcField::Average, "4");
    station->record().densityParameters.setInteger(slot::kIllumType, 3); // D65
    station->record().densityParameters.setInteger(slot::kObserverType, 1); // 10 degrees
    const std::string path = directory.file("press.txt");
    op.fileAnswer = path;
    page->saveSet();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(stored("QC", "QCFile"), path);
    EXPECT_EQ(page->form().fileName, path);
    const std::string written = directory.read("press.txt");
    EXPECT_NE(written.find("#2\tCustomer:\t" + path +
                  "\r\n#3\tIllumination:\tD65\tObs:\t10\r\n"
                  "#4\tN1:\t2\tN2:\t0\tMN:\t4\r\n"),
        std::string::npos);

    // A fresh page loads it back.
    page->initialise();
    page->Update({50, 0, 0});
    page->loadSet();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(page->set().entryCount, 2);
    EXPECT_EQ(page->set().comments[1], "Magenta");
    EXPECT_EQ(page->form().average, "4");
    EXPECT_EQ(page->form().entryNumber, "1");
    EXPECT_EQ(page->form().lab[0], "");
    EXPECT_EQ(page->form().spread, "0.00");
    EXPECT_EQ(page->form().statusColor, kQcWhite);
    EXPECT_EQ(page->set().illuminantCode, 30);
    EXPECT_EQ(page->printText().find("#2\tCustomer:\t" + path + "\r\n") != std::string::npos, true);
}

TEST_F(QcPageLogicTest, RefusedFilesLeaveTheSetAsItWas)
{
    add("50", "0", "0", "kept");
    const QcSet before = page->set();
    const auto loading = [&](const std::string& name, const std::string& content) {
        directory.write(name, content);
        op.fileAnswer = directory.file(name);
        op.messages.clear();
        page->loadSet();
        EXPECT_EQ(page->set().entries, before.entries) << name;
        EXPECT_EQ(page->set().comments, before.comments) << name;
        EXPECT_EQ(page->set().entryCount, 1) << name;
        return op.messages.empty() ? std::string() : op.messages.front().text;
    };
    EXPECT_EQ(loading("wrong.txt", "No.\tCyan\r\n"), kQcNotQcFileMessage);
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 37 % 251);
    EXPECT_EQ(loading("binary.txt", binary), kQcNotQcFileMessage);
    EXPECT_EQ(loading("binary-signed.txt", "#1" + binary).rfind(kQcIncompleteMessage, 0), 0u);
    const std::string broken = "#1\r\n#2\tCustomer:\tx\r\n#4\tN1:\t2\tN2:\t0\tMN:\t1\r\n"
                               "1\tEntry\t\t1\t2\t3\t4\t5\t6\t7\r\n2\tCut";
    EXPECT_EQ(loading("broken.txt", broken),
        std::string(kQcIncompleteMessage) + "\n" + directory.file("broken.txt") +
            ", line 5: entry 2 has fewer than 7 values.");

    // A 50 MB file that starts like a set.
    {
        std::ofstream big(directory.file("big.txt"), std::ios::binary);
        big << "#1\r\n";
    }
    std::filesystem::resize_file(directory.file("big.txt"), 50u * 1024u * 1024u);
    op.fileAnswer = directory.file("big.txt");
    op.messages.clear();
    page->loadSet();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kQcNotQcFileMessage);

    op.fileAnswer = directory.file("missing.txt");
    op.messages.clear();
    page->loadSet();
    EXPECT_EQ(messages(), (std::vector<std::string> {"No valid file selected !"}));
    op.fileAnswer.reset();
    op.messages.clear();
    page->loadSet();
    EXPECT_EQ(messages(), (std::vector<std::string> {"No valid file selected !"}));
    EXPECT_EQ(page->form().fileName, "");
}

TEST_F(QcPageLogicTest, AFailedSaveTellsWhyAndKeepsThePreviousFile)
{
    add("50", "0", "0");
    const std::string path = directory.file("nowhere/set.txt");
    op.fileAnswer = path;
    page->saveSet();
    EXPECT_EQ(messages(), (std::vector<std::string> {"Wrong Path or no Space: " + path}));
    EXPECT_EQ(stored("QC", "QCFile"), "QCFile.txt");
    EXPECT_EQ(page->form().fileName, "");

    op.fileAnswer.reset();
    op.messages.clear();
    page->saveSet(); // cancelled: nothing said, nothing written
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(QcPageLogicTest, AMissingPictureNamesItsPathUnderTheBitmapCaption)
{
    const char* previous = std::getenv("LTRAKW_DATA_DIR");
    const std::string saved = previous ? previous : "";
    ::setenv("LTRAKW_DATA_DIR", directory.path().c_str(), 1);
    EXPECT_TRUE(page->loadPlanePicture().empty());
    if (previous)
        ::setenv("LTRAKW_DATA_DIR", saved.c_str(), 1);
    else
        ::unsetenv("LTRAKW_DATA_DIR");
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, directory.file(kQcPictureName));
    EXPECT_EQ(op.messages[0].caption, kQcPictureMissingCaption);

    op.messages.clear();
    EXPECT_FALSE(page->loadPlanePicture().empty()); // the shipped picture
    EXPECT_TRUE(op.messages.empty());
}

} // namespace
} // namespace lt
