// The "Quality Control" tab as the operator meets it, on Qt's offscreen
// platform against the virtual Lumatrak: a set built from measured samples,
// green, yellow and red judgements in the "OK:" box, the list and its
// fields, and the printed set as a PDF file read back with poppler's tools.
// With LTRAKW_SCREENSHOT_DIR set, the page and the printout's pages are
// also saved as pictures there.
#include <cctype>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "common/ScriptedOperator.h"
#include "common/SimulatedInstrumentPort.h"
#include "common/TempDirectory.h"
#include "core/colour/ColorArithmetic.h"
#include "core/qc/QcSetFile.h"
#include "core/qc/QcText.h"
#include "core/station/Workstation.h"
#include "ltsim/Simulator.h"
#include "tests/ui/common/WidgetTestSupport.h"
#include "ui/qc/QC.h"
#include "ui/qc/QcGraphicsWidget.h"
#include "ui/shell/HVSheet.h"

namespace lt {
namespace {

// The standard output of a command line.
std::string commandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, read);
        ::pclose(pipe);
    }
    return output;
}

class QcPageViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::testApplication();
        std::string error;
        ASSERT_TRUE(simulator.start(&error)) << error;
        simulator.setPacing(false);
        ASSERT_EQ(CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str()), 0ul);
        station = std::make_unique<Workstation>(op, directory.path());
        sheet = std::make_unique<CHVSheet>(*station, nullptr, [](unsigned long, unsigned long) {});
        page = sheet->qualityControlPage();
        ASSERT_NE(page, nullptr);
    }

    void TearDown() override
    {
        sheet.reset();
        if (portHandle)
            station->instrument().GretagPortClose(portHandle);
        station.reset();
        simulator.stop();
    }

    void showPage()
    {
        sheet->show();
        sheet->tabs()->setCurrentWidget(page);
        QApplication::processEvents();
    }

    void openInstrument()
    {
        testing::openAndCalibrateCom1(*station, InstrumentLumatrakS, portHandle);
    }

    void measure(const char* sample)
    {
        ASSERT_TRUE(simulator.setSample(sample)) << sample;
        ASSERT_LE(station->cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 0),
            10000ul);
        QApplication::processEvents();
    }

    QPushButton* button(const char* name) { return page->findChild<QPushButton*>(name); }
    QLineEdit* field(const char* name) { return page->findChild<QLineEdit*>(name); }
    void type(const char* name, const QString& text)
    {
        QLineEdit* edit = field(name);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QColor okColor() { return page->findChild<QLabel*>("OK:")->palette().color(QPalette::Window); }

    void keepPicture(const char* name) { testing::keepPicture(*sheet, name); }

    // Prints through the page with the print dialog answered by writing pdf.
    void printTo(const std::string& pdf)
    {
        page->setPrintDialog([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
        button("Print Set")->click();
    }

    testing::TempDirectory directory;
    testing::ScriptedOperator op;
    ltsim::Simulator simulator;
    std::unique_ptr<Workstation> station;
    std::unique_ptr<CHVSheet> sheet;
    QC* page = nullptr;
    void* portHandle = nullptr;
};

TEST_F(QcPageViewTest, SamplesAreJudgedOnlyAfterTheTabWasFirstShown)
{
    openInstrument();
    measure("C50");
    EXPECT_EQ(field("dEA:")->text(), "");
    showPage();
    EXPECT_TRUE(op.messages.empty()); // the shipped picture was found
    EXPECT_TRUE(page->graphics()->hasPicture());
    EXPECT_EQ(field("Average:")->text(), "1");
    EXPECT_TRUE(button("Save")->isEnabled());
    auto* formula = page->findChild<QLabel*>("DeltaEFormula");
    ASSERT_NE(formula, nullptr);
    EXPECT_EQ(formula->text(), "dE76");
    measure("C50");
    EXPECT_EQ(field("dEA:")->text(), "0.00");
    EXPECT_NE(field("L:")->text(), "");

    // ΔE00 chosen on the colour metrics page judges the next sample.
    station->settings().store(keys::kDeltaEFormula, static_cast<int>(DeltaEFormula::Ciede2000));
    measure("C50");
    EXPECT_EQ(formula->text(), "dE00");
}

TEST_F(QcPageViewTest, ASetBuiltFromMeasuredSamplesJudgesGreenYellowAndRed)
{
    openInstrument();
    showPage();
    const char* references[] = {"paper", "C20", "C50", "C100", "M20", "M50", "M100", "Y20", "Y50",
        "Y100", "K20", "K50", "K100", "C100M100", "C100Y100", "M100Y100", "C50M40Y40",
        "C100M100Y100", "Reflex Blue", "Warm Red"};
    for (const char* reference : references) {
        SCOPED_TRACE(reference);
        measure(reference);
        type("Comment:", reference);
        button("Add")->click();
    }
    EXPECT_TRUE(op.messages.empty());
    QTreeWidget* list = page->list();
    ASSERT_EQ(list->topLevelItemCount(), 20);
    EXPECT_EQ(list->topLevelItem(2)->text(0), "3");
    EXPECT_EQ(list->topLevelItem(2)->text(1), "C50");
    EXPECT_EQ(field("No:")->text(), "20");

    measure("C50"); // the same tint again
    EXPECT_EQ(field("MatchNo:")->text(), "3");
    EXPECT_EQ(okColor(), QColor(0, 255, 0));
    keepPicture("qc-green");
    button("Save")->click();

    // Entry 3 with a wide colour tolerance but a narrow lightness tolerance.
    list->setCurrentItem(list->topLevelItem(2));
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
    EXPECT_EQ(field("No:")->text(), "3");
    type("dELight:", "15");
    type("dEDark:", "15");
    type("dLLight:", "0.5");
    type("dLDark:", "0.5");
    measure("C58");
    EXPECT_EQ(field("MatchNo:")->text(), "3");
    EXPECT_EQ(okColor(), QColor(255, 255, 0));
    keepPicture("qc-yellow");
    button("Save")->click();

    measure("C80"); // between C50 and C100: out in colour
    EXPECT_EQ(okColor(), QColor(255, 0, 0));
    keepPicture("qc-red");
    button("Save")->click();
    EXPECT_EQ(page->logic().set().matchCount, 3);
    EXPECT_EQ(page->logic().set().matches[1].status, QcStatus::LightnessOut);

    // Saved and loaded again: the entries come back, the log does not.
    const std::string path = directory.file("press.txt");
    op.fileAnswer = path;
    button("Save Set")->click();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_NE(directory.read("press.txt").find("\r\n#8\t"), std::string::npos);
    button("Clear List")->click(); // the scripted operator answers OK, not Yes
    EXPECT_EQ(list->topLevelItemCount(), 20);
    button("Load Set")->click();
    EXPECT_EQ(list->topLevelItemCount(), 20);
    EXPECT_EQ(page->findChild<QLabel*>("fileName")->text().toStdString(), path);
    EXPECT_EQ(page->logic().set().matchCount, 0);
    EXPECT_EQ(field("No:")->text(), "1");
}

TEST_F(QcPageViewTest, TheListAndTheFieldsFollowTheOperator)
{
    showPage();
    type("L:", "--");
    button("Add")->click(); // "--" is not empty: an entry at 0, 0, 0
    type("L:", "62,5");
    type("a:", "-3");
    type("b:", "4");
    type("Comment:", "A very long comment indeed");
    EXPECT_EQ(field("Comment:")->text(), "A very long com");
    button("Add")->click();
    QTreeWidget* list = page->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(2), "62.50");
    EXPECT_EQ(list->topLevelItem(1)->text(3), "-3.00");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "");

    button("Delete")->click(); // nothing selected
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kQcNoItemSelectedMessage);

    list->setCurrentItem(list->topLevelItem(1));
    button("Change")->click();
    EXPECT_EQ(field("L:")->text(), "62.50");
    // The plane's cross stands at a* -3, b* 4.
    EXPECT_DOUBLE_EQ(page->logic().graphicsState().pointA, -3.0);

    list->setCurrentItem(list->topLevelItem(0));
    button("Delete")->click();
    EXPECT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "1");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "A very long com");
}

TEST_F(QcPageViewTest, PrintingWritesEveryEntryOnAsManyPagesAsNeededAndTheSummary)
{
    QcSet set;
    for (int i = 0; i < kQcMaxEntries; ++i)
        set.appendEntry(
            {20.0 + i * 0.3, i - 100.0, 50.0 - i * 0.5}, "Ref " + std::to_string(i + 1));
    prepareQcSetForWriting(set, 4, 0, 1);
    const std::string setPath = directory.file("large.txt");
    directory.write("large.txt", ComposeQcText(set));
    showPage();
    op.fileAnswer = setPath;
    button("Load Set")->click();
    ASSERT_EQ(page->list()->topLevelItemCount(), kQcMaxEntries);
    for (int i = 0; i < 2; ++i)
        button("Save")->click();

    const std::string pdf = directory.file("set.pdf");
    printTo(pdf);
    EXPECT_TRUE(op.messages.empty());
    ASSERT_TRUE(std::filesystem::exists(pdf));

    const std::string info = commandOutput("pdfinfo '" + pdf + "'");
    const std::size_t pagesAt = info.find("Pages:");
    ASSERT_NE(pagesAt, std::string::npos) << "pdfinfo (poppler-utils) is needed: " << info;
    const int pages = std::atoi(info.c_str() + pagesAt + 6);
    EXPECT_GE(pages, 2); // 210 lines do not fit one page
    EXPECT_LE(pages, 8);

    const std::string text = commandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find("Lumatrak Quality Control"), std::string::npos);
    EXPECT_NE(text.find("Customer:"), std::string::npos);
    // Text extraction may set a blank inside a word where two glyphs stand
    // apart, so the set's path is looked for without blanks.
    auto withoutBlanks = [](std::string value) {
        std::erase_if(value, [](unsigned char c) { return std::isspace(c); });
        return value;
    };
    EXPECT_NE(withoutBlanks(text).find(withoutBlanks(setPath)), std::string::npos) << text;
    for (int number : {1, 57, 200}) {
        SCOPED_TRACE(number);
        const QcListRow row = qcListRow(set, number);
        const std::size_t at = text.find("Ref " + std::to_string(number) + " ");
        ASSERT_NE(at, std::string::npos);
        const std::string line = text.substr(at, text.find('\n', at) - at);
        EXPECT_NE(line.find(row.l), std::string::npos) << line;
        EXPECT_NE(line.find(row.b), std::string::npos) << line;
    }
    // (The printer's font joins "ff" into one glyph.)
    EXPECT_NE(text.find("erences by dE76"), std::string::npos);
    EXPECT_NE(text.find("Summary of the log: 2 matches"), std::string::npos);
    EXPECT_NE(text.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)),
        std::string::npos);

    testing::keepPdfPictures(pdf, "qc-print", 50);
}

TEST_F(QcPageViewTest, ACancelledPrintDialogPrintsNothing)
{
    showPage();
    page->setPrintDialog([](QPrinter&) { return false; });
    button("Print Set")->click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kQcNoPrintingMessage);
}

} // namespace
} // namespace lt
