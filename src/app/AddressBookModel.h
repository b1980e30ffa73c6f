#pragma once

#include "addressbook/AddressBook.h"

#include <QAbstractListModel>
#include <QIdentityProxyModel>
#include <vector>

// The address book as the window's lists show it: one row per entry, named by
// the entry, with a mark (Qt::CheckStateRole) that chooses it for a batch.
// The computer list and the batch list share this model, so they always hold
// the same rows in the same order.
class AddressBookModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AddressBookModel(QObject* parent = nullptr);

    const AddressBook& book() const { return m_book; }
    // Takes a whole new book; every row starts unmarked.
    void resetBook(AddressBook book);
    // False, and nothing changes, when the book is full.
    bool append(AddressEntry entry);
    // Replaces the entry of a row; its mark stays. Throws Failure for a row out of range.
    void replace(int row, AddressEntry entry);
    // Throws Failure for a row out of range.
    void remove(int row);

    bool isMarked(int row) const;
    void setAllMarked(bool marked);
    std::vector<int> markedRows() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    AddressBook m_book;
    std::vector<bool> m_marks;
};

// The same rows without their marks, for the computer list: a mark chooses a
// computer for a batch, not for editing.
class AddressBookNamesModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};
