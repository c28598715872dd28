#include "ui/metrics/MeasurementListView.h"

#include <QHeaderView>

#include "core/metrics/MeasurementList.h"

namespace lt {

MeasurementListView::MeasurementListView(QAbstractItemModel* model, QWidget* parent)
    : QTableView(parent)
{
    setModel(model);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows of one text line, all alike, so none is measured.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < kListColumns; ++column)
        setColumnWidth(column, kListColumnFormats[static_cast<std::size_t>(column)].width);
}

} // namespace lt
