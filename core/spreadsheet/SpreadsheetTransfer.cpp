#include "core/spreadsheet/SpreadsheetTransfer.h"

#include <span>

#include "core/station/Workstation.h"

namespace lt {

SpreadsheetTransfer::SpreadsheetTransfer(Workstation& station, ExcelExport& exporter)
    : station(station), exporter(exporter)
{
    station.addObserver(this);
}

SpreadsheetTransfer::~SpreadsheetTransfer()
{
    station.removeObserver(this);
}

void SpreadsheetTransfer::spreadsheetRow(const MeasurementRow& row)
{
    // Called on the measuring thread, which alone writes the sample's spectrum.
    const auto& spectrum = station.record().measurementSpectrum;
    exporter.Transfer(row, std::span<const float>(spectrum.data(), kSpectrumPoints));
}

} // namespace lt
