#include "ui/metrics/MeasurementListModel.h"

#include <QMetaObject>
#include <QPointer>

namespace lt {

MeasurementListModel::MeasurementListModel(MeasurementList& list, QObject* parent)
    : QAbstractTableModel(parent), source(list), rows(list.rows())
{
    QPointer<MeasurementListModel> self(this);
    subscription = source.subscribe([this, self](const ListChange& change) {
        // Taken on the changing thread, so that every queued change carries
        // the content it made.
        const MeasurementRow content =
            change.kind == ListChange::Kind::Cleared ? MeasurementRow {} : source.row(change.row);
        QMetaObject::invokeMethod(
            this,
            [self, change, content] {
                if (self)
                    self->apply(change, content);
            },
            Qt::AutoConnection);
    });
}

MeasurementListModel::~MeasurementListModel()
{
    source.unsubscribe(subscription);
}

void MeasurementListModel::apply(ListChange change, const MeasurementRow& content)
{
    const int count = static_cast<int>(rows.size());
    switch (change.kind) {
    case ListChange::Kind::RowInserted:
        if (change.row < 0 || change.row > count)
            break;
        beginInsertRows({}, change.row, change.row);
        rows.insert(rows.begin() + change.row, content);
        endInsertRows();
        break;
    case ListChange::Kind::RowChanged:
        if (change.row < 0 || change.row >= count)
            break;
        rows[static_cast<std::size_t>(change.row)] = content;
        Q_EMIT dataChanged(index(change.row, 0), index(change.row, kListColumns - 1));
        break;
    case ListChange::Kind::RowRemoved:
        if (change.row < 0 || change.row >= count)
            break;
        beginRemoveRows({}, change.row, change.row);
        rows.erase(rows.begin() + change.row);
        endRemoveRows();
        break;
    case ListChange::Kind::Cleared:
        beginResetModel();
        rows.clear();
        endResetModel();
        break;
    }
}

int MeasurementListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int MeasurementListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kListColumns;
}

QVariant MeasurementListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(rows.size()))
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(rows[static_cast<std::size_t>(index.row())][column].c_str());
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
