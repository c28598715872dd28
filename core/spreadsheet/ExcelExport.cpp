#include "core/spreadsheet/ExcelExport.h"

#include "core/settings/Settings.h"
#include "core/station/Operator.h"

namespace lt {
namespace {

constexpr const char* kDiscardQuestion =
    "Open workbook: Do you want to discard the current workbook ?";
constexpr const char* kCreateQuestion =
    "File does not exist, do you want to create a default Workbook file?";
constexpr const char* kCloseFirst = "Close Excel Automation first !";
constexpr const char* kCloseCaption = "TDens";

} // namespace

ExcelExport::ExcelExport(Settings& settings, Operator& op, ExcelClient::AutomationFactory factory)
    : settings(settings), op(op), factory(std::move(factory))
{
}

ExcelExport::~ExcelExport() = default;

void ExcelExport::open()
{
    CellPlacement loaded = loadPlacement(settings);
    std::lock_guard lock(state);
    placement = loaded;
    currentFileName.clear();
    workbookButtons = true;
    dialogOpen = true;
}

std::shared_ptr<ExcelClient> ExcelExport::currentClient() const
{
    std::lock_guard lock(state);
    return client;
}

bool ExcelExport::close()
{
    std::shared_ptr<ExcelClient> client = currentClient();
    if (starting || (client && client->IsReady())) {
        op.showMessage(kCloseFirst, kCloseCaption, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    std::lock_guard lock(state);
    dialogOpen = false;
    return true;
}

void ExcelExport::browsed(const std::optional<std::string>& path)
{
    std::lock_guard lock(state);
    if (!path) {
        currentFileName.clear();
        return;
    }
    previousFileName = currentFileName;
    currentFileName = *path;
    settings.store(keys::kExcelFilePath, *path);
}

std::string ExcelExport::fileDialogStart()
{
    // Read only: the program never writes this key.
    return settings.applicationFile().getString(keys::kExcelAutoFilePath.section,
        keys::kExcelAutoFilePath.key, keys::kExcelAutoFilePath.defaultValue,
        keys::kExcelAutoFilePath.maxLength);
}

void ExcelExport::showCode(int code)
{
    if (code != excel::kOk)
        ExcelClient::ShowError(op, code);
}

int ExcelExport::initExcel()
{
    std::string path = fileName().substr(0, kFileNameRead);
    struct Starting {
        std::atomic<bool>& flag;
        explicit Starting(std::atomic<bool>& flag) : flag(flag) { flag = true; }
        ~Starting() { flag = false; }
    } startingNow(starting);
    std::shared_ptr<ExcelClient> client = currentClient();
    if (!client) {
        client = std::make_shared<ExcelClient>(factory);
        std::lock_guard lock(state);
        this->client = client;
    }

    if (client->IsReady()) {
        MessageAnswer answer = op.showMessage(
            kDiscardQuestion, "", MessageButtons::OkCancel, MessageIcon::Exclamation);
        if (answer != MessageAnswer::Ok) {
            std::lock_guard lock(state);
            if (previousFileName && !previousFileName->empty())
                currentFileName = *previousFileName;
            return excel::kOk;
        }
    }
    client->Close();
    {
        std::lock_guard lock(state);
        sheets.clear();
        chosenSheet = -1;
    }

    int code = excel::kOk;
    if (!path.empty()) {
        code = client->InitOpen(path);
        if (code == excel::kWorkbookNotFound) {
            MessageAnswer answer = op.showMessage(
                kCreateQuestion, "", MessageButtons::OkCancel, MessageIcon::Exclamation);
            if (answer != MessageAnswer::Ok)
                return code;
            setFileName("");
            path.clear();
        } else if (code != excel::kOk) {
            showCode(code);
            return code;
        }
    }
    if (path.empty()) {
        code = client->InitNew();
        if (code != excel::kOk) {
            showCode(code);
            return code;
        }
    }
    fillSheetList(*client);
    return excel::kOk;
}

void ExcelExport::fillSheetList(ExcelClient& client)
{
    int32_t count = 0;
    if (client.GetSheetCount(count) != excel::kOk)
        count = 0;
    std::vector<std::string> names;
    for (int32_t i = 1; i <= std::min<int32_t>(count, kMaxSheets); ++i) {
        std::string name;
        if (client.GetSheetName(i, name) == excel::kOk)
            names.push_back(name);
    }
    std::lock_guard lock(state);
    sheets = std::move(names);
    chosenSheet = sheets.empty() ? -1 : 0;
    workbookButtons = true;
}

void ExcelExport::showExcel()
{
    std::shared_ptr<ExcelClient> client = currentClient();
    if (!client) {
        showCode(excel::kNotStarted);
        return;
    }
    int code = client->SetWindow(kShowLeft, kShowTop, kShowWidth, kShowHeight);
    if (code == excel::kOk)
        code = client->Show();
    showCode(code);
}

void ExcelExport::hideExcel()
{
    std::shared_ptr<ExcelClient> client = currentClient();
    showCode(client ? client->Hide() : excel::kNotStarted);
}

void ExcelExport::closeExcel()
{
    std::shared_ptr<ExcelClient> client = currentClient();
    if (!client)
        return;
    int code = client->Close();
    if (code != excel::kOk) {
        showCode(code);
        return;
    }
    std::lock_guard lock(state);
    this->client.reset();
    sheets.clear();
    chosenSheet = -1;
    currentFileName.clear();
    workbookButtons = false;
}

void ExcelExport::saveWorkbook(const std::string& path)
{
    std::shared_ptr<ExcelClient> client = currentClient();
    if (client)
        showCode(client->SaveWorkbook(path));
}

void ExcelExport::selectSheet(int listIndex)
{
    std::string name;
    {
        std::lock_guard lock(state);
        if (listIndex < 0 || listIndex >= static_cast<int>(sheets.size()))
            return;
        chosenSheet = listIndex;
        name = sheets[listIndex];
    }
    if (std::shared_ptr<ExcelClient> client = currentClient())
        showCode(client->SelectSheet(name));
}

void ExcelExport::setDirection(int direction)
{
    {
        std::lock_guard lock(state);
        placement.direction = direction;
    }
    settings.store(keys::kExcelDirection, direction);
}

void ExcelExport::storeFields()
{
    CellPlacement fields = placementFields();
    for (PlacementSet& set : fields.sets)
        if (!columnFromLetters(set.columnLetters))
            set.columnLetters.clear();
    storePlacement(settings, fields);
    std::lock_guard lock(state);
    for (int s = 0; s < 2; ++s)
        placement.sets[s].columnLetters = fields.sets[s].columnLetters;
}

int ExcelExport::Transfer(const MeasurementRow& row, std::span<const float> spectrum)
{
    // While the application starts, measurements are not held up by it.
    std::shared_ptr<ExcelClient> client = starting ? nullptr : currentClient();
    if (!client || !isOpen())
        return 0;
    CellPlacement current = placementFields();
    for (const CellWrite& write : placeMeasurement(current, row, spectrum)) {
        int code = client->WriteCell(write.row, write.column, write.kind, write.value);
        if (code != excel::kOk) {
            showCode(code);
            return 1;
        }
    }
    return 0;
}

std::string ExcelExport::fileName() const
{
    std::lock_guard lock(state);
    return currentFileName;
}

void ExcelExport::setFileName(const std::string& name)
{
    std::lock_guard lock(state);
    currentFileName = name;
}

std::vector<std::string> ExcelExport::sheetNames() const
{
    std::lock_guard lock(state);
    std::vector<std::string> shown;
    for (const std::string& name : sheets)
        shown.push_back(name.substr(0, kSheetNameShown));
    return shown;
}

int ExcelExport::selectedSheet() const
{
    std::lock_guard lock(state);
    return chosenSheet;
}

bool ExcelExport::workbookCommandsEnabled() const
{
    std::lock_guard lock(state);
    return workbookButtons;
}

bool ExcelExport::hasClient() const
{
    return currentClient() != nullptr;
}

CellPlacement ExcelExport::placementFields() const
{
    std::lock_guard lock(state);
    return placement;
}

void ExcelExport::setPlacementFields(const CellPlacement& fields)
{
    std::lock_guard lock(state);
    placement = fields;
    for (PlacementSet& set : placement.sets)
        set.firstColumn = columnFromLetters(set.columnLetters).value_or(0);
}

} // namespace lt
