#pragma once

#include <QLineEdit>

// A text box of the window. Its typing limit refuses typed or pasted text
// beyond the limit, but a text set by code is kept whole (a longer host read
// from the address book stays as it is). The selection made when the focus
// came with a mouse click survives the rest of that click.
class LimitedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    LimitedLineEdit(QWidget* parent, int typingLimit);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Room left for typed text in place of the current selection.
    qsizetype room() const;
    void pasteWithinLimit();

    int m_typingLimit;
    // The mouse press that gave the focus: the rest of that click must not
    // move the cursor away from the selection made on entry.
    bool m_clickGaveFocus = false;
};
