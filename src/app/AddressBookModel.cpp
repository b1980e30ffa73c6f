#include "app/AddressBookModel.h"

AddressBookModel::AddressBookModel(QObject* parent) : QAbstractListModel(parent) {}

void AddressBookModel::resetBook(AddressBook book)
{
    beginResetModel();
    m_book = std::move(book);
    m_marks.assign(std::size_t(m_book.size()), false);
    endResetModel();
}

bool AddressBookModel::append(AddressEntry entry)
{
    if (m_book.isFull())
        return false;
    const int row = m_book.size();
    beginInsertRows({}, row, row);
    m_book.append(std::move(entry));
    m_marks.push_back(false);
    endInsertRows();
    return true;
}

void AddressBookModel::replace(int row, AddressEntry entry)
{
    m_book.replace(row, std::move(entry));
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

void AddressBookModel::remove(int row)
{
    m_book.at(row); // throws for a row out of range, before the views hear of it
    beginRemoveRows({}, row, row);
    m_book.removeAt(row);
    m_marks.erase(m_marks.begin() + row);
    endRemoveRows();
}

bool AddressBookModel::isMarked(int row) const
{
    return row >= 0 && row < int(m_marks.size()) && m_marks[std::size_t(row)];
}

void AddressBookModel::setAllMarked(bool marked)
{
    if (m_marks.empty())
        return;
    m_marks.assign(m_marks.size(), marked);
    Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

std::vector<int> AddressBookModel::markedRows() const
{
    std::vector<int> rows;
    for (std::size_t row = 0; row < m_marks.size(); ++row)
        if (m_marks[row])
            rows.push_back(int(row));
    return rows;
}

int AddressBookModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_book.size();
}

QVariant AddressBookModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_book.at(index.row()).name;
    case Qt::CheckStateRole:
        return isMarked(index.row()) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool AddressBookModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    m_marks[std::size_t(index.row())] = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags AddressBookModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

QVariant AddressBookNamesModel::data(const QModelIndex& index, int role) const
{
    return role == Qt::CheckStateRole ? QVariant() : QIdentityProxyModel::data(index, role);
}

Qt::ItemFlags AddressBookNamesModel::flags(const QModelIndex& index) const
{
    return QIdentityProxyModel::flags(index) & ~Qt::ItemIsUserCheckable;
}
