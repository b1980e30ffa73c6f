#pragma once

#include <QObject>
#include <QSet>

class MainForm;
class QComboBox;
class QLineEdit;

// The keyboard rules of the form's boxes, as one event filter:
// - a box selects its whole text when the focus moves to it from another of
//   the window's controls, so typing replaces it;
// - Enter moves on as Tab does, in the boxes and the computer list;
// - an alarm box left empty for another control shows "__:__" again;
// - coming back from another window or from a menu changes neither: the box
//   keeps its text and its cursor;
// - the mouse wheel changes the computer list only while it has the focus, so
//   scrolling over the window never replaces what is being edited.
class FieldNavigation : public QObject {
    Q_OBJECT
public:
    FieldNavigation(const MainForm& form, QObject* parent);

    static void selectWhole(QLineEdit* edit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void queueTab();

    QComboBox* m_computerCombo;
    QSet<QObject*> m_alarmEdits;
};
