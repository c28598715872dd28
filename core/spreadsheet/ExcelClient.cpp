#include "core/spreadsheet/ExcelClient.h"

#include "core/station/Operator.h"

namespace lt {
namespace {

// Which step of Init failed decides the code.
enum class InitStep { Prepare, OpenWorkbook, FindWorksheet, Other };

} // namespace

ExcelClient::ExcelClient(AutomationFactory factory) : makeAutomation(std::move(factory))
{
}

ExcelClient::~ExcelClient()
{
    std::lock_guard lock(exchange);
    if (!application)
        return;
    try {
        application->stopWatchingWorkbook();
        // The operator is not asked: the workbook is closed unsaved, as the
        // application would end without asking.
        if (!workbookClosed)
            application->closeWorkbook();
        application->quit();
    } catch (const std::exception&) {
    }
    application.reset();
}

int ExcelClient::Init(
    bool create, const std::string& path, const std::string& sheetName, int32_t sheetIndex)
{
    std::lock_guard lock(exchange);
    if (application)
        return excel::kStartedTwice;
    std::unique_ptr<SpreadsheetAutomation> started = makeAutomation ? makeAutomation() : nullptr;
    if (!started)
        return excel::kNotInstalled;
    try {
        if (!started->start())
            return excel::kNotInstalled;
    } catch (const std::exception&) {
        return excel::kNotInstalled;
    }

    InitStep step = InitStep::Prepare;
    bool workbookOpened = false;
    try {
        if (create) {
            if (started->workbookCount() <= 0)
                started->createWorkbook();
            else
                started->useFirstWorkbook();
            if (started->sheetCount() <= 0)
                started->addSheet();
            started->selectSheet(1);
        } else {
            step = InitStep::OpenWorkbook;
            started->openWorkbook(path);
            workbookOpened = true;
            step = InitStep::FindWorksheet;
            if (sheetIndex > 0)
                started->selectSheet(static_cast<int>(sheetIndex));
            else if (!sheetName.empty())
                started->selectSheet(sheetName);
            else
                started->selectSheet(1);
            step = InitStep::Other;
        }
        started->onWorkbookClosed([this] { workbookClosed = true; });
    } catch (const std::exception&) {
        try {
            if (workbookOpened)
                started->closeWorkbook();
            started->quit();
        } catch (const std::exception&) {
        }
        if (step == InitStep::OpenWorkbook)
            return excel::kWorkbookNotFound;
        if (step == InitStep::FindWorksheet)
            return excel::kWorksheetNotFound;
        return excel::kUnspecified;
    }
    application = std::move(started);
    workbookClosed = false;
    return excel::kOk;
}

int ExcelClient::InitNew()
{
    return Init(true, "", "", 0);
}

int ExcelClient::InitOpen(const std::string& path)
{
    int code = Init(false, path, "", 0);
    if (code != excel::kOk)
        return code;
    std::lock_guard lock(exchange);
    try {
        application->activateSheet();
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    return excel::kOk;
}

bool ExcelClient::IsReady() const
{
    std::lock_guard lock(exchange);
    return application && !workbookClosed;
}

int ExcelClient::usableState() const
{
    if (!application)
        return excel::kNotStarted;
    if (workbookClosed)
        return excel::kClosedByUser;
    return excel::kOk;
}

int ExcelClient::GetSheetCount(int32_t& count)
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        count = application->sheetCount();
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    return excel::kOk;
}

int ExcelClient::GetSheetName(int32_t index, std::string& name)
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        name = application->sheetName(static_cast<int>(index));
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    return excel::kOk;
}

int ExcelClient::SelectSheet(const std::string& name)
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        application->selectSheet(name);
        application->activateSheet();
    } catch (const std::exception&) {
        return excel::kWorksheetNotFound;
    }
    return excel::kOk;
}

int ExcelClient::Show()
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        application->setVisible(true);
        application->activateWorkbook();
        application->maximiseWindow();
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    return excel::kOk;
}

int ExcelClient::Hide()
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        application->setVisible(false);
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    return excel::kOk;
}

int ExcelClient::SetWindow(int32_t left, int32_t top, int32_t width, int32_t height)
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        application->restoreWindow();
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    try {
        application->placeWindow(left, top, width, height);
    } catch (const std::exception&) {
        return excel::kWindowNotPlaced;
    }
    return excel::kOk;
}

std::string ExcelClient::workbookPath(const std::string& path)
{
    std::size_t lastSeparator = path.find_last_of("/\\");
    std::size_t lastDot = path.rfind('.');
    bool hasExtension = lastDot != std::string::npos &&
        (lastSeparator == std::string::npos || lastDot > lastSeparator);
    return hasExtension ? path : path + ".xls";
}

int ExcelClient::SaveWorkbook(const std::string& path)
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    try {
        application->storeCopy(workbookPath(path));
    } catch (const std::exception&) {
        return excel::kSaveFailed;
    }
    return excel::kOk;
}

int ExcelClient::WriteCell(int32_t row, int32_t column, CellKind kind, const CellValue& value)
{
    std::lock_guard lock(exchange);
    if (int state = usableState(); state != excel::kOk)
        return state;
    std::string name = CellName(row, column);
    if (name.empty())
        return excel::kCellOutOfRange;
    try {
        switch (kind) {
        case CellKind::Byte:
            if (const long* number = std::get_if<long>(&value))
                application->setCell(name, static_cast<long>(static_cast<unsigned char>(*number)));
            break;
        case CellKind::Integer:
            if (const long* number = std::get_if<long>(&value))
                application->setCell(name, static_cast<long>(static_cast<int32_t>(*number)));
            break;
        case CellKind::Real:
            if (const double* real = std::get_if<double>(&value))
                application->setCell(name, *real);
            break;
        case CellKind::Text:
            if (const std::string* text = std::get_if<std::string>(&value))
                application->setCell(name, *text);
            break;
        }
        application->activateSheet();
        application->activateCell(name);
    } catch (const std::exception&) {
        return excel::kUnspecified;
    }
    return excel::kOk;
}

void ExcelClient::endApplication()
{
    application->quit();
    application.reset();
}

int ExcelClient::Close()
{
    std::lock_guard lock(exchange);
    if (!application)
        return excel::kNotStarted;
    try {
        application->stopWatchingWorkbook();
        if (!workbookClosed)
            application->closeWorkbook();
        endApplication();
    } catch (const std::exception&) {
        application.reset();
        workbookClosed = false;
        return excel::kUnspecified;
    }
    workbookClosed = false;
    return excel::kOk;
}

std::string ExcelClient::CellName(int32_t row, int32_t column)
{
    if (row < 1 || row > excel::kLastRow || column < 1 || column > excel::kLastColumn)
        return {};
    std::string name;
    if (column <= 26) {
        name += static_cast<char>('A' + column - 1);
    } else {
        name += static_cast<char>('A' + (column - 1) / 26 - 1);
        name += static_cast<char>('A' + (column - 1) % 26);
    }
    return name + std::to_string(row);
}

std::string ExcelClient::errorText(int code)
{
    switch (code) {
    case excel::kNotStarted:
        return "Please initialize Excel before usage of the automation server.";
    case excel::kStartedTwice:
        return "Excel was initialized twice.";
    case excel::kClosedByUser:
        return "Worksheet or Application was closed by user.";
    case excel::kWorkbookNotFound:
        return "Workbook not found on HD.";
    case excel::kWorksheetNotFound:
        return "Worksheet not found in active Workbook.";
    case excel::kCellOutOfRange:
        return "Row or Column Value out of Range.";
    case excel::kSaveFailed:
        return "Could not save File (Error in given Path or File exists !)";
    case excel::kWindowNotPlaced:
        return "Could not set window to given position or size";
    case excel::kNotInstalled:
        return "LibreOffice Calc is probably not installed and can therefore not be used as an "
               "automation server.";
    default:
        return "An unspecified Error occurred.";
    }
}

void ExcelClient::ShowError(Operator& op, int code)
{
    op.showMessage(errorText(code), "", MessageButtons::Ok, MessageIcon::Exclamation);
}

} // namespace lt
