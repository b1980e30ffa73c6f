#include "app/LimitedLineEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>

#include <memory>

LimitedLineEdit::LimitedLineEdit(QWidget* parent, int typingLimit) : QLineEdit(parent), m_typingLimit(typingLimit)
{
    setAcceptDrops(false);
}

qsizetype LimitedLineEdit::room() const
{
    return m_typingLimit - (text().size() - selectedText().size());
}

void LimitedLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_clickGaveFocus = event->reason() == Qt::MouseFocusReason;
}

void LimitedLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    m_clickGaveFocus = false;
}

void LimitedLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteWithinLimit();
        return;
    }
    const QString typed = event->text();
    const bool inserts = !typed.isEmpty() && typed.at(0).isPrint() &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (inserts && typed.size() > room()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void LimitedLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && event->commitString().size() > room()) {
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(event->commitString().left(std::max<qsizetype>(room(), 0)), event->replacementStart(),
                                event->replacementLength());
        QLineEdit::inputMethodEvent(&trimmed);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void LimitedLineEdit::pasteWithinLimit()
{
    if (isReadOnly())
        return;
    QString pasted = QApplication::clipboard()->text();
    const qsizetype lineEnd = pasted.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
    if (lineEnd >= 0)
        pasted.truncate(lineEnd);
    pasted.truncate(std::max<qsizetype>(room(), 0));
    insert(pasted);
}

void LimitedLineEdit::mousePressEvent(QMouseEvent* event)
{
    if (m_clickGaveFocus && event->button() == Qt::LeftButton)
        return;
    QLineEdit::mousePressEvent(event);
}

void LimitedLineEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (m_clickGaveFocus)
        return;
    QLineEdit::mouseMoveEvent(event);
}

void LimitedLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_clickGaveFocus) {
        m_clickGaveFocus = false;
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void LimitedLineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    m_clickGaveFocus = false;
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QStringLiteral("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this, &LimitedLineEdit::pasteWithinLimit);
        }
    }
    menu->exec(event->globalPos());
}
