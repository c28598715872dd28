#include "core/metrics/MeasurementList.h"

namespace lt {

// Rows are stored oldest first so that a new top row is appended, not
// inserted; index i of the list is storage[size - 1 - i].

void MeasurementList::insertTop(const MeasurementRow& row)
{
    {
        std::lock_guard lock(mutex);
        storage.push_back(row);
    }
    notify({ListChange::Kind::RowInserted, 0});
}

bool MeasurementList::setCell(int row, int column, const std::string& text)
{
    if (column < 0 || column >= kListColumns)
        return false;
    {
        std::lock_guard lock(mutex);
        if (row < 0 || static_cast<std::size_t>(row) >= storage.size())
            return false;
        storage[storage.size() - 1 - static_cast<std::size_t>(row)]
               [static_cast<std::size_t>(column)] = text;
    }
    notify({ListChange::Kind::RowChanged, row});
    return true;
}

bool MeasurementList::removeRow(int row)
{
    {
        std::lock_guard lock(mutex);
        if (row < 0 || static_cast<std::size_t>(row) >= storage.size())
            return false;
        storage.erase(storage.end() - 1 - row);
    }
    notify({ListChange::Kind::RowRemoved, row});
    return true;
}

void MeasurementList::clear()
{
    {
        std::lock_guard lock(mutex);
        storage.clear();
    }
    notify({ListChange::Kind::Cleared, 0});
}

int MeasurementList::rowCount() const
{
    std::lock_guard lock(mutex);
    return static_cast<int>(storage.size());
}

MeasurementRow MeasurementList::row(int index) const
{
    std::lock_guard lock(mutex);
    if (index < 0 || static_cast<std::size_t>(index) >= storage.size())
        return MeasurementRow {};
    return storage[storage.size() - 1 - static_cast<std::size_t>(index)];
}

std::string MeasurementList::cell(int rowIndex, int column) const
{
    std::lock_guard lock(mutex);
    if (rowIndex < 0 || static_cast<std::size_t>(rowIndex) >= storage.size())
        return std::string();
    return cellLocked(storage.size() - 1 - static_cast<std::size_t>(rowIndex), column);
}

std::string MeasurementList::cellFromOldest(std::size_t position, int column) const
{
    std::lock_guard lock(mutex);
    return cellLocked(position, column);
}

std::string MeasurementList::cellLocked(std::size_t position, int column) const
{
    if (position >= storage.size() || column < 0 || column >= kListColumns)
        return std::string();
    return storage[position][static_cast<std::size_t>(column)];
}

std::size_t MeasurementList::visitOldestFirst(
    const std::function<void(const MeasurementRow&)>& visit, std::size_t from) const
{
    std::lock_guard lock(mutex);
    for (std::size_t position = from; position < storage.size(); ++position)
        visit(storage[position]);
    return storage.size();
}

std::vector<MeasurementRow> MeasurementList::rows() const
{
    std::lock_guard lock(mutex);
    return std::vector<MeasurementRow>(storage.rbegin(), storage.rend());
}

int MeasurementList::subscribe(Observer observer)
{
    std::lock_guard lock(observerMutex);
    int id = nextObserverId++;
    observers.emplace_back(id, std::move(observer));
    return id;
}

void MeasurementList::unsubscribe(int id)
{
    std::lock_guard lock(observerMutex);
    std::erase_if(observers, [id](const auto& item) { return item.first == id; });
}

void MeasurementList::notify(const ListChange& change)
{
    std::vector<Observer> current;
    {
        std::lock_guard lock(observerMutex);
        for (const auto& item : observers)
            current.push_back(item.second);
    }
    for (const Observer& observer : current)
        observer(change);
}

} // namespace lt
