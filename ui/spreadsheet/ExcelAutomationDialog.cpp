#include "ui/spreadsheet/ExcelAutomationDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/spreadsheet/ExcelExport.h"
#include "core/spreadsheet/SpreadsheetTransfer.h"
#include "core/station/Workstation.h"
#include "ui/shell/OnThreadOf.h"

namespace {

// The workbook formats offered; a name without extension is stored as ".xls".
const char* const kWorkbookFilter =
    "ExcelFile (*.xls);;Excel 2007-365 (*.xlsx);;OpenDocument Spreadsheet (*.ods)";
const char* const kStartingText = "Starting LibreOffice Calc…";

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

QLineEdit* numberField(QWidget* parent, const char* name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setValidator(new QIntValidator(-99999, 99999, field));
    field->setMaximumWidth(70);
    return field;
}

} // namespace

ExcelAutomationDialog::ExcelAutomationDialog(
    lt::Workstation& station, lt::ExcelExport& exporter, QWidget* parent)
    : QDialog(parent), station(station), exporter(exporter)
{
    setWindowTitle("ExcelAutomation");
    setModal(false);
    // Closing the main window ends the program even while this dialog is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    fileName = new QLineEdit(this);
    fileName->setObjectName("FileName");
    sheetName = new QComboBox(this);
    sheetName->setObjectName("SheetName");
    sheetName->setMinimumContentsLength(20);
    state = new QLabel(this);
    state->setObjectName("State");

    auto* top = new QGridLayout;
    top->addWidget(new QLabel("FileName:", this), 0, 0);
    top->addWidget(fileName, 0, 1);
    top->addWidget(new QLabel("SheetName:", this), 1, 0);
    top->addWidget(sheetName, 1, 1);

    // Cell placement.
    auto* placementGroup = new QGroupBox("CellPlacement", this);
    auto* placementLayout = new QVBoxLayout(placementGroup);
    auto* directionLayout = new QGridLayout;
    horizontal = new QRadioButton("Horizontal", placementGroup);
    vertical = new QRadioButton("Vertical", placementGroup);
    directionLayout->addWidget(new QLabel("StepDirection:", placementGroup), 0, 0);
    directionLayout->addWidget(horizontal, 0, 1);
    directionLayout->addWidget(vertical, 0, 2);
    directionLayout->addWidget(new QLabel("Row", placementGroup), 1, 1);
    directionLayout->addWidget(new QLabel("Column", placementGroup), 1, 2);
    placementLayout->addLayout(directionLayout);
    auto* setsLayout = new QHBoxLayout;
    for (int s = 0; s < 2; ++s) {
        auto* group = new QGroupBox(s == 0 ? "Set 1" : "Set 2", placementGroup);
        auto* grid = new QGridLayout(group);
        const QString suffix = QString::number(s + 1);
        firstRow[s] = numberField(group, s == 0 ? "RowInit1" : "RowInit2");
        firstColumn[s] = new QLineEdit(group);
        firstColumn[s]->setObjectName("ColumnInit" + suffix);
        firstColumn[s]->setMaxLength(2);
        firstColumn[s]->setMaximumWidth(50);
        firstValue[s] = numberField(group, s == 0 ? "Start1" : "Start2");
        valueCount[s] = numberField(group, s == 0 ? "Length1" : "Length2");
        grid->addWidget(new QLabel("FirstCell:", group), 0, 0);
        grid->addWidget(firstRow[s], 0, 1);
        grid->addWidget(firstColumn[s], 0, 2);
        grid->addWidget(new QLabel("FirstValueFromList:", group), 1, 0);
        grid->addWidget(firstValue[s], 1, 1);
        grid->addWidget(new QLabel("NumberOfValues:", group), 2, 0);
        grid->addWidget(valueCount[s], 2, 1);
        setsLayout->addWidget(group);
        QLineEdit* column = firstColumn[s];
        connect(column, &QLineEdit::textEdited, this, [this, column] { columnEdited(column); });
    }
    placementLayout->addLayout(setsLayout);
    initParButton = new QPushButton("InitPar", placementGroup);
    placementLayout->addWidget(initParButton, 0, Qt::AlignRight);

    // The command column.
    auto* buttons = new QVBoxLayout;
    auto addButton = [&](const char* caption, const char* tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(caption);
        button->setToolTip(tip);
        buttons->addWidget(button);
        return button;
    };
    browseButton = addButton("Browse", "Choose the workbook to open");
    initButton = addButton("InitEXCEL",
        "Start LibreOffice Calc with the workbook named above "
        "(a new workbook when the name is empty)");
    showButton = addButton("ShowEXCEL", "Show the workbook's window");
    hideButton = addButton("HideEXCEL", "Hide the workbook's window");
    closeExcelButton =
        addButton("CloseEXCEL", "Close the workbook unsaved and end LibreOffice Calc");
    saveButton = addButton("SaveWorkbook", "Save a copy of the workbook (.xls, .xlsx or .ods)");
    buttons->addStretch(1);
    closeButton = addButton("Close", "Close this dialog; measurements are no longer exported");

    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(placementGroup);
    left->addWidget(state);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
    connect(initButton, &QPushButton::clicked, this, [this] { initExcel(); });
    connect(showButton, &QPushButton::clicked, this, [this] { this->exporter.showExcel(); });
    connect(hideButton, &QPushButton::clicked, this, [this] { this->exporter.hideExcel(); });
    connect(closeExcelButton, &QPushButton::clicked, this, [this] {
        this->exporter.closeExcel();
        refresh();
    });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveWorkbook(); });
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (tryClose())
            hide();
    });
    connect(initParButton, &QPushButton::clicked, this, [this] { storeFields(); });
    connect(horizontal, &QRadioButton::clicked, this,
        [this] { this->exporter.setDirection(lt::placement::kHorizontal); });
    connect(vertical, &QRadioButton::clicked, this,
        [this] { this->exporter.setDirection(lt::placement::kVertical); });
    connect(sheetName, &QComboBox::activated, this,
        [this](int index) { this->exporter.selectSheet(index); });
    connect(fileName, &QLineEdit::textEdited, this,
        [this](const QString& text) { this->exporter.setFileName(text.toStdString()); });
}

ExcelAutomationDialog::~ExcelAutomationDialog()
{
    if (starter.joinable())
        starter.join();
}

void ExcelAutomationDialog::showEvent(QShowEvent* event)
{
    if (!transfer) {
        exporter.open();
        transfer = std::make_unique<lt::SpreadsheetTransfer>(station, exporter);
        const lt::CellPlacement fields = exporter.placementFields();
        horizontal->setChecked(fields.direction == lt::placement::kHorizontal);
        vertical->setChecked(fields.direction != lt::placement::kHorizontal);
        for (int s = 0; s < 2; ++s) {
            firstRow[s]->setText(QString::number(fields.sets[s].firstRow));
            firstColumn[s]->setText(fromStd(fields.sets[s].columnLetters));
            firstValue[s]->setText(QString::number(fields.sets[s].firstValue));
            valueCount[s]->setText(QString::number(fields.sets[s].count));
        }
        refresh();
    }
    QDialog::showEvent(event);
}

bool ExcelAutomationDialog::tryClose()
{
    if (!exporter.close())
        return false;
    transfer.reset();
    return true;
}

void ExcelAutomationDialog::closeEvent(QCloseEvent* event)
{
    if (tryClose())
        event->accept();
    else
        event->ignore();
}

void ExcelAutomationDialog::reject()
{
    if (tryClose())
        QDialog::reject();
}

void ExcelAutomationDialog::refresh()
{
    fileName->setText(fromStd(exporter.fileName()));
    sheetName->clear();
    for (const std::string& name : exporter.sheetNames())
        sheetName->addItem(fromStd(name));
    sheetName->setCurrentIndex(exporter.selectedSheet());
    const bool enabled = exporter.workbookCommandsEnabled();
    saveButton->setEnabled(enabled);
    hideButton->setEnabled(enabled);
    showButton->setEnabled(enabled);
}

void ExcelAutomationDialog::browse()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, "Load Excel File", fromStd(exporter.fileDialogStart()), kWorkbookFilter);
    exporter.browsed(chosen.isEmpty() ? std::nullopt : std::optional(chosen.toStdString()));
    fileName->setText(fromStd(exporter.fileName()));
}

void ExcelAutomationDialog::setBusy(bool busy)
{
    for (QPushButton* button : {browseButton, initButton, showButton, hideButton, closeExcelButton,
             saveButton, closeButton})
        button->setEnabled(!busy);
    fileName->setReadOnly(busy);
    state->setText(busy ? kStartingText : QString());
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool ExcelAutomationDialog::isStarting() const
{
    return starter.joinable();
}

void ExcelAutomationDialog::initExcel()
{
    if (starter.joinable())
        return;
    exporter.setFileName(fileName->text().toStdString());
    setBusy(true);
    // The start takes seconds; questions to the operator reach this thread
    // through the operator interface while it waits.
    starter = std::thread([this] {
        exporter.initExcel();
        onThreadOf(this, [this] { startFinished(); });
    });
}

void ExcelAutomationDialog::startFinished()
{
    if (starter.joinable())
        starter.join();
    setBusy(false);
    refresh();
}

void ExcelAutomationDialog::saveWorkbook()
{
    if (!exporter.hasClient())
        return;
    const QString chosen = QFileDialog::getSaveFileName(
        this, "Save Excel File", fromStd(exporter.fileDialogStart()), kWorkbookFilter);
    if (!chosen.isEmpty())
        exporter.saveWorkbook(chosen.toStdString());
}

void ExcelAutomationDialog::columnEdited(QLineEdit* field)
{
    if (!lt::columnFromLetters(field->text().toStdString()))
        field->clear();
}

void ExcelAutomationDialog::storeFields()
{
    lt::CellPlacement fields = exporter.placementFields();
    fields.direction =
        horizontal->isChecked() ? lt::placement::kHorizontal : lt::placement::kVertical;
    for (int s = 0; s < 2; ++s) {
        fields.sets[s].firstRow = firstRow[s]->text().toInt();
        fields.sets[s].columnLetters = firstColumn[s]->text().toStdString();
        fields.sets[s].firstValue = firstValue[s]->text().toInt();
        fields.sets[s].count = valueCount[s]->text().toInt();
    }
    exporter.setPlacementFields(fields);
    exporter.storeFields();
    for (int s = 0; s < 2; ++s)
        firstColumn[s]->setText(fromStd(exporter.placementFields().sets[s].columnLetters));
}
