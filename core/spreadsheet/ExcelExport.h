#pragma once
// The spreadsheet export dialog's logic ("ExcelAutomation"): connects to a
// workbook through the spreadsheet client and, while the dialog is open,
// writes every new measurement into cells by the configured placement. The
// client is created by the first "InitEXCEL" and outlives the dialog; this
// object lives as long as the main window. The Qt dialog is a thin view
// over it; file choices are made by the view and handed in.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/spreadsheet/CellPlacement.h"
#include "core/spreadsheet/ExcelClient.h"

namespace lt {

class Operator;
class Settings;

class ExcelExport {
public:
    static constexpr int kMaxSheets = 20;
    static constexpr std::size_t kSheetNameShown = 40;
    static constexpr std::size_t kFileNameRead = 200;
    static constexpr int kShowLeft = 1, kShowTop = 1, kShowWidth = 500, kShowHeight = 300;

    ExcelExport(Settings& settings, Operator& op,
        ExcelClient::AutomationFactory factory = makeSpreadsheetAutomation);
    ~ExcelExport();

    // Opening the dialog: placement read and forced into its ranges, the file
    // name empty, transfers on.
    void open();
    // "Close": refused with a message while a workbook is in use; true when
    // the dialog may close (transfers then stop).
    bool close();
    bool isOpen() const
    {
        std::lock_guard lock(state);
        return dialogOpen;
    }

    // "Browse" after the view's file choice (nothing: cancelled).
    void browsed(const std::optional<std::string>& path);
    // Where the file dialogs start ("FilePath" of section "ExcelAuto").
    std::string fileDialogStart();
    // "InitEXCEL". Starting the application takes seconds: the view runs this
    // off its user-interface thread. Returns the client's code (0 also when
    // the operator cancelled a question).
    int initExcel();
    void showExcel();
    void hideExcel();
    void closeExcel();
    // "SaveWorkbook" after the view's file choice.
    void saveWorkbook(const std::string& path);
    // Choosing an entry of the sheet list.
    void selectSheet(int listIndex);
    // "Horizontal" / "Vertical": stored at once.
    void setDirection(int direction);
    // "InitPar": stores the placement fields as they stand.
    void storeFields();

    // The newest measurement, by the placement; 0 done or nothing to do, 1 a
    // cell write failed (its message was shown).
    int Transfer(const MeasurementRow& row, std::span<const float> spectrum);

    // What the view shows.
    std::string fileName() const;
    void setFileName(const std::string& name); // the operator typed
    std::vector<std::string> sheetNames() const; // each at most 40 characters
    int selectedSheet() const; // -1 none
    bool workbookCommandsEnabled() const; // "SaveWorkbook", "HideEXCEL", "ShowEXCEL"
    bool hasClient() const;
    bool isStarting() const { return starting; }
    CellPlacement placementFields() const;
    void setPlacementFields(const CellPlacement& fields);

private:
    void showCode(int code);
    std::shared_ptr<ExcelClient> currentClient() const;
    void fillSheetList(ExcelClient& client);

    Settings& settings;
    Operator& op;
    ExcelClient::AutomationFactory factory;
    // Shared so that a transfer on the measuring thread keeps the client it
    // started with while the dialog closes it.
    std::shared_ptr<ExcelClient> client;
    std::atomic<bool> starting {false}; // "InitEXCEL" is connecting

    mutable std::mutex state;
    bool dialogOpen = false;
    std::string currentFileName;
    std::optional<std::string> previousFileName;
    std::vector<std::string> sheets;
    int chosenSheet = -1;
    bool workbookButtons = true;
    CellPlacement placement;
};

} // namespace lt
