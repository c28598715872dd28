#include "ui/metrics/MeasurementListModel.h"

#include "ui/shell/OnThreadOf.h"

namespace lt {

MeasurementListModel::MeasurementListModel(MeasurementList& list, QObject* parent)
    : QAbstractTableModel(parent), source(list), shownRows(list.rowCount())
{
    subscription = source.subscribe(
        [this](const ListChange& change) { onThreadOf(this, [this, change] { apply(change); }); });
}

MeasurementListModel::~MeasurementListModel()
{
    source.unsubscribe(subscription);
}

void MeasurementListModel::apply(ListChange change)
{
    switch (change.kind) {
    case ListChange::Kind::RowInserted:
        // A row that a clear made since has taken away is not shown.
        if (change.row < 0 || change.row > shownRows || shownRows >= source.rowCount())
            break;
        beginInsertRows({}, change.row, change.row);
        ++shownRows;
        endInsertRows();
        break;
    case ListChange::Kind::RowChanged:
        if (change.row < 0 || change.row >= shownRows)
            break;
        Q_EMIT dataChanged(index(change.row, 0), index(change.row, kListColumns - 1));
        break;
    case ListChange::Kind::RowRemoved:
        if (change.row < 0 || change.row >= shownRows)
            break;
        beginRemoveRows({}, change.row, change.row);
        --shownRows;
        endRemoveRows();
        break;
    case ListChange::Kind::Cleared:
        beginResetModel();
        shownRows = 0;
        endResetModel();
        break;
    }
}

std::size_t MeasurementListModel::positionOfShownRow(int row) const
{
    return static_cast<std::size_t>(shownRows - 1 - row);
}

int MeasurementListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows;
}

int MeasurementListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kListColumns;
}

QVariant MeasurementListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shownRows)
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(
            source.cellFromOldest(positionOfShownRow(index.row()), index.column()).c_str());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((kListColumnFormats[column].alignRight ? Qt::AlignRight : Qt::AlignLeft) |
                Qt::AlignVCenter));
    return {};
}

QVariant MeasurementListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kListColumns)
        return {};
    const ListColumnFormat& format = kListColumnFormats[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(format.header);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((format.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

} // namespace lt
