#include "core/spreadsheet/SpreadsheetAutomation.h"

namespace lt {

// This build has no spreadsheet application.
std::unique_ptr<SpreadsheetAutomation> makeSpreadsheetAutomation()
{
    return nullptr;
}

} // namespace lt
