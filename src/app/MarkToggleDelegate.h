#pragma once

#include <QStyledItemDelegate>

// The rows of the batch list as check boxes: a click anywhere in a row (box or
// name) toggles its mark, and Space toggles the current row's. The view shows
// no selection besides, so a row's one visible state is its mark.
class MarkToggleDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};
