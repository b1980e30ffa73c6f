#include "app/MarkToggleDelegate.h"

#include <QMouseEvent>

bool MarkToggleDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                     const QModelIndex& index)
{
    const Qt::ItemFlags flags = index.flags();
    const bool markable = flags.testFlag(Qt::ItemIsUserCheckable) && flags.testFlag(Qt::ItemIsEnabled);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // The view makes the row the current one, for Space; the mark changes at the release, as a check box's does.
        return false;
    case QEvent::MouseButtonDblClick:
        // Its first click has toggled the mark already.
        return markable && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!markable || mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        const bool marked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, int(marked ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
    }
    default:
        // Space and Select on the current row.
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
}
