#pragma once
// The spreadsheet client: starts the outside spreadsheet application, opens
// or creates a workbook, chooses a worksheet, writes single cells, shows,
// hides and places the application's window, saves a copy and ends the
// application. Every operation returns 0 or one of the small negative codes
// below, and ShowError turns a code into the operator's message.
//
// The client may be used from several threads (the dialog, the worker that
// starts the application, the measuring thread's transfers); its
// operations never overlap.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/spreadsheet/SpreadsheetAutomation.h"

namespace lt {

class Operator;

namespace excel {
inline constexpr int kOk = 0;
inline constexpr int kUnspecified = -99;
inline constexpr int kNotStarted = -100;
inline constexpr int kStartedTwice = -101;
inline constexpr int kClosedByUser = -102;
inline constexpr int kWorkbookNotFound = -103;
inline constexpr int kWorksheetNotFound = -104;
inline constexpr int kCellOutOfRange = -105;
inline constexpr int kSaveFailed = -106;
inline constexpr int kWindowNotPlaced = -107;
inline constexpr int kNotInstalled = -110;

inline constexpr int kLastRow = 65536;
inline constexpr int kLastColumn = 256; // IV
} // namespace excel

// Kinds of value WriteCell writes.
enum class CellKind { Byte = 1, Integer = 2, Real = 3, Text = 4 };

class ExcelClient {
public:
    using AutomationFactory = std::function<std::unique_ptr<SpreadsheetAutomation>()>;

    explicit ExcelClient(AutomationFactory factory = makeSpreadsheetAutomation);
    ~ExcelClient(); // ends the application when it is held
    ExcelClient(const ExcelClient&) = delete;
    ExcelClient& operator=(const ExcelClient&) = delete;

    int Init(
        bool create, const std::string& path, const std::string& sheetName, int32_t sheetIndex);
    int InitNew();
    int InitOpen(const std::string& path);
    bool IsReady() const;
    bool closedByUser() const { return workbookClosed.load(); }
    int GetSheetCount(int32_t& count);
    int GetSheetName(int32_t index, std::string& name);
    int SelectSheet(const std::string& name);
    int Show();
    int Hide();
    int SetWindow(int32_t left, int32_t top, int32_t width, int32_t height);
    int SaveWorkbook(const std::string& path);
    int WriteCell(int32_t row, int32_t column, CellKind kind, const CellValue& value);
    int Close();

    // "A1" ... "IV65536"; empty outside 1..65536 and 1..256.
    static std::string CellName(int32_t row, int32_t column);
    // The path SaveWorkbook stores to: ".xls" added when the file name has
    // no extension.
    static std::string workbookPath(const std::string& path);
    // The operator's text of a code.
    static std::string errorText(int code);
    static void ShowError(Operator& op, int code);

private:
    // The application in use or the code that says why there is none.
    int usableState() const;
    void endApplication();

    AutomationFactory makeAutomation;
    std::unique_ptr<SpreadsheetAutomation> application;
    std::atomic<bool> workbookClosed {false};
    mutable std::recursive_mutex exchange;
};

} // namespace lt
