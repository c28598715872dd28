#pragma once
// The modeless "ExcelAutomation" dialog: connects to a workbook in
// LibreOffice Calc and places every new measurement in its cells while it
// is open. A view over lt::ExcelExport; the application's start runs off the
// user-interface thread with a visible "starting" state.
#include <QDialog>

#include <memory>
#include <thread>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lt {
class ExcelExport;
class SpreadsheetTransfer;
class Workstation;
} // namespace lt

class ExcelAutomationDialog : public QDialog {
    Q_OBJECT
public:
    ExcelAutomationDialog(lt::Workstation& station, lt::ExcelExport& exporter, QWidget* parent);
    ~ExcelAutomationDialog() override;

    // The start of the application has finished (for tests).
    bool isStarting() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void browse();
    void initExcel();
    void startFinished();
    void saveWorkbook();
    void storeFields();
    void refresh();
    void setBusy(bool busy);
    void columnEdited(QLineEdit* field);
    bool tryClose();

    lt::Workstation& station;
    lt::ExcelExport& exporter;
    std::unique_ptr<lt::SpreadsheetTransfer> transfer;
    std::thread starter;

    QLineEdit* fileName;
    QComboBox* sheetName;
    QLabel* state;
    QPushButton* browseButton;
    QPushButton* initButton;
    QPushButton* showButton;
    QPushButton* hideButton;
    QPushButton* closeExcelButton;
    QPushButton* saveButton;
    QPushButton* closeButton;
    QPushButton* initParButton;
    QRadioButton* horizontal;
    QRadioButton* vertical;
    QLineEdit* firstRow[2];
    QLineEdit* firstColumn[2];
    QLineEdit* firstValue[2];
    QLineEdit* valueCount[2];
};
