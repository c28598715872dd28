#pragma once
// Hands every new measurement to the spreadsheet export while its dialog is
// open: the new top row of the list and the spectrum of the sample.
#include "core/spreadsheet/ExcelExport.h"
#include "core/station/MeasurementObserver.h"

namespace lt {

class Workstation;

class SpreadsheetTransfer : public MeasurementObserver {
public:
    // Registers itself with the workstation until destroyed.
    SpreadsheetTransfer(Workstation& station, ExcelExport& exporter);
    ~SpreadsheetTransfer() override;
    SpreadsheetTransfer(const SpreadsheetTransfer&) = delete;
    SpreadsheetTransfer& operator=(const SpreadsheetTransfer&) = delete;

    void spreadsheetRow(const MeasurementRow& row) override;

private:
    Workstation& station;
    ExcelExport& exporter;
};

} // namespace lt
