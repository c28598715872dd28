#pragma once
// The measurement list as the page's list view shows it: fifteen columns
// with their headers and alignment, the newest row on top. The model
// mirrors the workstation's MeasurementList; changes made on the chart
// worker's thread reach the view through the user-interface thread.
#include <vector>

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
    // A change with the row's content as it was right after the change.
    void apply(ListChange change, const MeasurementRow& content);

    MeasurementList& source;
    int subscription = 0;
    std::vector<MeasurementRow> rows; // newest first, as shown
};

} // namespace lt
