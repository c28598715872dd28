#pragma once
// The colour metrics page's list of measurements: one line per row of the
// list, the newest on top, whole rows selected, the columns as wide as the
// list's format gives them. A table view rather than a tree view: a tree
// view lays out all its rows again whenever a row is added at its top
// level, so at 100,000 rows a sample cost the page 1.7 times what it cost
// at 100 rows; a table view's cost does not grow with the list.
#include <QTableView>

namespace lt {

class MeasurementListView : public QTableView {
    Q_OBJECT
public:
    explicit MeasurementListView(QAbstractItemModel* model, QWidget* parent = nullptr);
};

} // namespace lt
