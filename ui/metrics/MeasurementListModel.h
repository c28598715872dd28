#pragma once
// The measurement list as the page's list view shows it: fifteen columns
// with their headers and alignment, the newest row on top. The model reads
// the workstation's MeasurementList itself and keeps no copy of it: it only
// counts the rows the view has been told of. Changes made on the chart
// worker's thread reach the view through the user-interface thread; rows
// added meanwhile are newer than every row shown, so the shown ones are
// found again by their position from the oldest.
#include <cstddef>

#include <QAbstractTableModel>

#include "core/metrics/MeasurementList.h"

namespace lt {

class MeasurementListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MeasurementListModel(MeasurementList& list, QObject* parent = nullptr);
    ~MeasurementListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void apply(ListChange change);
    // The list's position (from the oldest) of a row of the view.
    std::size_t positionOfShownRow(int row) const;

    MeasurementList& source;
    int subscription = 0;
    int shownRows = 0; // rows the view has been told of
};

} // namespace lt
