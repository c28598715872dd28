#pragma once
// The automation surface of the outside spreadsheet application that the
// spreadsheet client drives: start the application, open or create a
// workbook, reach its worksheets and cells, show and place its window,
// store a copy, close and end. On Linux the application is LibreOffice Calc
// (CalcAutomation); tests use a fake. Every call may throw
// AutomationFailure; the client guards each one.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>

namespace lt {

class AutomationFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A cell value: a whole number, a real number or a text.
using CellValue = std::variant<long, double, std::string>;

class SpreadsheetAutomation {
public:
    virtual ~SpreadsheetAutomation() = default;

    // Starts the application (or connects to it); false when it cannot be
    // started at all.
    virtual bool start() = 0;

    // Workbooks: how many the application holds, the first of them, a new
    // one, or the one stored at path (throws when it cannot be opened).
    virtual int workbookCount() = 0;
    virtual void useFirstWorkbook() = 0;
    virtual void createWorkbook() = 0;
    virtual void openWorkbook(const std::string& path) = 0;

    // Worksheets of the workbook in use, 1-based.
    virtual int sheetCount() = 0;
    virtual void addSheet() = 0;
    virtual std::string sheetName(int index) = 0;
    virtual void selectSheet(int index) = 0;
    virtual void selectSheet(const std::string& name) = 0;
    virtual void activateSheet() = 0;

    // Cells of the sheet in use, by name ("B4").
    virtual void setCell(const std::string& cellName, const CellValue& value) = 0;
    virtual void activateCell(const std::string& cellName) = 0;

    // The application's window.
    virtual void setVisible(bool visible) = 0;
    virtual void activateWorkbook() = 0;
    virtual void maximiseWindow() = 0;
    virtual void restoreWindow() = 0;
    virtual void placeWindow(int left, int top, int width, int height) = 0;

    // A copy of the workbook at path, in the format its extension names.
    virtual void storeCopy(const std::string& path) = 0;

    // Called (on any thread) when the operator or another program closes
    // the workbook in use.
    virtual void onWorkbookClosed(std::function<void()> handler) = 0;
    // Stops reporting the close of the workbook in use.
    virtual void stopWatchingWorkbook() = 0;

    // Closes the workbook in use without saving it.
    virtual void closeWorkbook() = 0;
    // Ends the application.
    virtual void quit() = 0;
};

// The application of this build: LibreOffice Calc when the office SDK was
// found at build time, else nothing (the client then reports that the
// application is not installed).
std::unique_ptr<SpreadsheetAutomation> makeSpreadsheetAutomation();

} // namespace lt
