// The "Color Metrics" tab and its dialogs as the operator sees them, on
// Qt's offscreen platform: buttons and their states, the status line, the
// list view, the "DensityParameters" and "SpotID" dialogs. With
// LTRAKW_SCREENSHOT_DIR set, the page and the dialogs are also saved as
// pictures there.
#include "tests/ui/common/MetricsPageFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include <thread>

#include "ui/metrics/DensityParametersDialog.h"
#include "ui/metrics/MeasurementListModel.h"
#include "ui/metrics/SpotIdDialog.h"
#include "ui/metrics/TaviDens.h"
#include "ui/metrics/ValueDisplayWidget.h"

namespace lt {
namespace {

using testing::keepPicture;

// Runs action on the next modal dialog as soon as it shows.
void onNextDialog(std::function<void(QDialog&)> action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

class TaviDensViewTest : public test::MetricsPageFixture {
protected:
    template <class Widget = QPushButton>
    Widget* find(const char* name)
    {
        auto* widget = page->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(const char* name)
    {
        find<QAbstractButton>(name)->click();
        QApplication::processEvents();
    }

    QString status() { return find<QLabel>("status")->text(); }
    QTableView* list() { return find<QTableView>("List23"); }

    void selectRows(std::initializer_list<int> rows)
    {
        list()->clearSelection();
        for (int row : rows)
            list()->selectionModel()->select(list()->model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

TEST_F(TaviDensViewTest, TheListHasItsFifteenColumns)
{
    QAbstractItemModel* model = list()->model();
    ASSERT_EQ(model->columnCount(), 15);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "1: No  ");
    EXPECT_EQ(model->headerData(6, Qt::Horizontal).toString(), "7:     L    ");
    EXPECT_EQ(model->headerData(14, Qt::Horizontal).toString(), "SpotColor");
    EXPECT_EQ(list()->columnWidth(0), 50);
    EXPECT_EQ(list()->columnWidth(5), 70);
    EXPECT_EQ(list()->columnWidth(12), 80);
    EXPECT_EQ(list()->selectionMode(), QAbstractItemView::ExtendedSelection);

    openInstrument();
    measure("paper");
    measure("C50");
    QApplication::processEvents();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), "  1") << "the newest row is on top";
    EXPECT_EQ(model->data(model->index(0, 14)).toString(), "    --");
    const auto right =
        Qt::Alignment(model->data(model->index(0, 3), Qt::TextAlignmentRole).toInt());
    const auto left =
        Qt::Alignment(model->data(model->index(0, 14), Qt::TextAlignmentRole).toInt());
    EXPECT_TRUE(right & Qt::AlignRight);
    EXPECT_TRUE(left & Qt::AlignLeft);

    click("ClearList");
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(TaviDensViewTest, ChartAndSpreadsheetButtonsAreLive)
{
    EXPECT_TRUE(find("StartChart")->isEnabled());
    EXPECT_TRUE(find("Excel")->isEnabled());
    auto* chart = find<QComboBox>("ChartType");
    EXPECT_EQ(chart->count(), 3);
    EXPECT_EQ(chart->itemText(1), "TQ ICC CMYK");
}

TEST_F(TaviDensViewTest, ExcelOpensTheModelessExportDialogWithItsPlacement)
{
    click("Excel");
    QDialog* dialog = nullptr;
    for (QDialog* child : page->findChildren<QDialog*>())
        if (child->windowTitle() == "ExcelAutomation")
            dialog = child;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "ExcelAutomation");
    auto* column = dialog->findChild<QLineEdit*>("ColumnInit2");
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->text(), "F");
    // Without a workbook the dialog closes at once.
    auto* close = dialog->findChild<QPushButton*>("Close");
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(TaviDensViewTest, TheDensityModeDecidesWhetherCalibrationIsPossible)
{
    EXPECT_TRUE(find<QRadioButton>("Absolute")->isChecked());
    EXPECT_FALSE(find("White")->isEnabled());
    EXPECT_FALSE(find("Solid")->isEnabled());

    click("Relative");
    EXPECT_TRUE(find("White")->isEnabled());
    click("Solid");
    EXPECT_EQ(status(), "Calibrate paper white first !");
    click("White");
    EXPECT_EQ(status(), "Calibrate paper white now !");

    click("Absolute");
    EXPECT_FALSE(find<QRadioButton>("Relative")->isChecked());
    EXPECT_FALSE(find("Solid")->isEnabled());
    EXPECT_EQ(status(), "");
    EXPECT_EQ(station->record().paperWhiteState, PaperWhiteAbsolute);
}

TEST_F(TaviDensViewTest, DeltaEComparesTheTwoSelectedRows)
{
    openInstrument();
    measure("C100");
    measure("C50");
    measure("paper");
    QApplication::processEvents();

    selectRows({1});
    click("dE");
    EXPECT_EQ(status(), "  Select 2 Items !");
    selectRows({0, 1, 2});
    click("dE");
    EXPECT_EQ(status(), "  Select 2 Items !");
    selectRows({0, 2});
    click("dE");
    EXPECT_TRUE(status().startsWith("   dE:   ")) << status().toStdString();
    EXPECT_GT(status().mid(9).trimmed().toDouble(), 30.0) << "paper against the cyan solid";
}

TEST_F(TaviDensViewTest, TheMetricRadioButtonsAreStored)
{
    EXPECT_TRUE(find<QRadioButton>("ProcessColor")->isChecked());
    click("XYZ");
    EXPECT_EQ(station->settings().applicationFile().getString("TaviDens", "Metric"), "3");
    EXPECT_FALSE(find<QRadioButton>("ProcessColor")->isChecked());
}

TEST_F(TaviDensViewTest, TheParameterDialogTakesTheEditsOnOk)
{
    instrumentPage.initialised = false;
    click("Parameter");
    EXPECT_EQ(op.texts(), (std::vector<std::string> {"Initialize Instrument first !"}));

    instrumentPage.initialised = true;
    station->record().instrumentType = InstrumentPrototype;
    onNextDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "DensityParameters");
        auto* cyan = dialog.findChild<QLineEdit*>("SCyan");
        ASSERT_NE(cyan, nullptr);
        EXPECT_EQ(cyan->text(), "1.000");
        cyan->setText("1.2");
        dialog.findChild<QLineEdit*>("YBlack")->setText("abc");
        dialog.findChild<QComboBox*>("Illumination")->setCurrentIndex(3);
        EXPECT_EQ(dialog.findChild<QComboBox*>("SpotColors")->itemText(0), "none");
        keepPicture(dialog, "density-parameters");
        dialog.accept();
    });
    click("Parameter");
    const DensityParameterBlock& block = station->record().densityParameters;
    EXPECT_FLOAT_EQ(block.real(slot::kSlopeCyan), 1.2f);
    EXPECT_FLOAT_EQ(block.real(slot::yuleNielsen(Black)), 1.0f);
    EXPECT_EQ(block.integer(slot::kIllumType), 3);
    EXPECT_EQ(instrumentPage.illuminant, 3);
    EXPECT_EQ(station->settings().applicationFile().getString("TaviDens", "DSlopeC"), "1.200000");
    EXPECT_EQ(station->settings().applicationFile().getString("TaviDens", "DYNK"), "1.000000")
        << "after the dialog the process factors are stored with %f";
}

TEST_F(TaviDensViewTest, TheSpotIdDialogNamesAndChoosesTheWindow)
{
    std::vector<bool> choices;
    SpotColorNamePrompt prompt;
    prompt.centreWavelength = 590.0;
    prompt.presetName = "S3";
    prompt.narrow = false;
    prompt.onWindowChosen = [&](bool narrow) { choices.push_back(narrow); };

    onNextDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "SpotID");
        EXPECT_EQ(dialog.findChild<QLabel*>("wavelength")->text(), " 590.0 nm");
        auto* name = dialog.findChild<QLineEdit*>("name");
        EXPECT_EQ(name->text(), "S3");
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("wide")->isChecked());
        dialog.findChild<QRadioButton*>("narrow")->click();
        name->setText("Twenty-five characters..");
        keepPicture(dialog, "spot-id");
        dialog.accept();
    });
    auto answer = askSpotId(prompt);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->name, "Twenty-five characte");
    EXPECT_TRUE(answer->narrow);
    EXPECT_EQ(choices, (std::vector<bool> {true}));

    onNextDialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(askSpotId(prompt));
}

// Dark enough to be the ink of a text or an outline.
bool isInk(QRgb pixel)
{
    return qRed(pixel) < 128 && qGreen(pixel) < 128 && qBlue(pixel) < 128;
}

// The large readout at the widths of a small, a full-HD and a 4K window:
// each box is drawn whole inside the display, its values are there, and no
// glyph runs into or past the box's outline.
TEST_F(TaviDensViewTest, TheLargeReadoutKeepsItsGlyphsInsideTheirBoxesAtEveryWidth)
{
    openInstrument();
    measure("C100");
    auto* display = page->findChild<ValueDisplayWidget*>();
    ASSERT_NE(display, nullptr);
    for (const char* metric : {"ProcessColor", "Lab", "SpotColor"}) {
        click(metric);
        for (int width : {800, 1280, 2560}) {
            page->resize(width, 900);
            QApplication::processEvents();
            const QImage picture = display->grab().toImage();
            const std::string where = std::string(metric) + " at " + std::to_string(width);
            for (int i = 0; i < 3; ++i) {
                const QRect box = display->boxRect(i);
                // The outline covers box.left() ... box.right() + 1.
                ASSERT_TRUE(picture.rect().contains(box.adjusted(0, 0, 1, 1))) << where;
                EXPECT_TRUE(isInk(picture.pixel(box.center().x(), box.bottom() + 1)))
                    << where << ": bottom outline of box " << i;
                int inkInside = 0;
                int inkOnRim = 0;
                for (int y = box.top() + 1; y <= box.bottom(); ++y)
                    for (int x = box.left() + 1; x <= box.right(); ++x) {
                        if (!isInk(picture.pixel(x, y)))
                            continue;
                        const bool rim = x == box.left() + 1 || x == box.right() ||
                            y == box.top() + 1 || y == box.bottom();
                        (rim ? inkOnRim : inkInside)++;
                    }
                // Even the shortest value ("--" under "%") inks more than half a box width.
                EXPECT_GT(inkInside, box.width() / 2) << where << ": values of box " << i;
                EXPECT_EQ(inkOnRim, 0) << where << ": a glyph touches the edge of box " << i;
            }
            if (width >= 1280) {
                EXPECT_GT(display->boxRect(0).height(), 80) << where << ": the boxes grow";
            }
        }
    }
}

// A dozen samples in relative mode with a spot colour taught: the page as
// the operator finds it after a short session, in every metric.
TEST_F(TaviDensViewTest, ADozenRelativeSamplesWithASpotColour)
{
    openInstrument();
    // Teach the spot colour, then calibrate paper white and the solids of
    // cyan and of the spot colour.
    click("InitSpotClr");
    op.spotNames.push_back(SpotColorNameAnswer {"Reflex Blue", false});
    measure("Reflex Blue");
    click("Relative");
    click("White");
    measure("paper");
    click("Solid");
    measure("C100");
    click("Solid");
    measure("M100");
    // Every solid also takes the spot colour's solid: the spot ink comes last.
    click("Solid");
    measure("Reflex Blue");
    for (const char* sample : {"C50", "C20", "M50", "Y50", "K50", "C50M40Y40", "Reflex Blue"})
        measure(sample);
    QApplication::processEvents();
    EXPECT_EQ(list()->model()->rowCount(), 12);
    EXPECT_EQ(list()->model()->data(list()->model()->index(0, 14)).toString(), "Reflex Blue");
    EXPECT_EQ(list()->model()->data(list()->model()->index(0, 13)).toString(), "100.0")
        << "the spot solid itself";
    EXPECT_EQ(list()->model()->data(list()->model()->index(9, 5)).toString(), "C  100.0");

    const char* metrics[] = {"ProcessColor", "Lab", "XYZ", "SpotColor"};
    for (const char* metric : metrics) {
        click(metric);
        keepPicture(*page, QString("page-") + metric);
    }
    selectRows({0, 3});
    click("dE");
    keepPicture(*page, "page-dE");
    EXPECT_TRUE(status().startsWith("   dE:   "));
}

// Rows added on a worker thread reach the view only through the event loop;
// until then every row the view shows keeps its place and its content, and
// afterwards the view shows the list newest first, with edits, removals and
// a clear followed at once.
TEST(MeasurementListModel, ShowsTheListNewestFirstWhileAWorkerAddsRows)
{
    testing::testApplication();
    MeasurementList list;
    auto numbered = [](int number) {
        MeasurementRow row {};
        row[column::kNumber] = std::to_string(number);
        row[column::kSpotName] = "S" + std::to_string(number);
        return row;
    };
    list.insertTop(numbered(1));
    list.insertTop(numbered(2));
    MeasurementListModel model(list);
    auto shown = [&model](int row, int column = column::kNumber) {
        return model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString();
    };
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(shown(0), "2");

    std::thread worker([&] {
        for (int number = 3; number <= 50; ++number)
            list.insertTop(numbered(number));
    });
    worker.join();
    EXPECT_EQ(model.rowCount(), 2) << "the view learns of the new rows from the event loop";
    EXPECT_EQ(shown(0), "2");
    EXPECT_EQ(shown(1, column::kSpotName), "S1");
    QApplication::processEvents();
    ASSERT_EQ(model.rowCount(), 50);
    for (int row = 0; row < 50; ++row)
        ASSERT_EQ(shown(row), std::to_string(50 - row)) << row;

    list.setCell(3, column::kSpotName, "Edited");
    EXPECT_EQ(shown(3, column::kSpotName), "Edited");
    list.removeRow(0);
    ASSERT_EQ(model.rowCount(), 49);
    EXPECT_EQ(shown(0), "49");
    EXPECT_EQ(shown(48), "1");

    // Rows queued before a clear are not shown after it.
    std::thread late([&] { list.insertTop(numbered(99)); });
    late.join();
    list.clear();
    QApplication::processEvents();
    EXPECT_EQ(model.rowCount(), 0);
    list.insertTop(numbered(7));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(shown(0), "7");
}

} // namespace
} // namespace lt
