#include "app/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::StandardButton standardButton(Dialogs::Answer answer)
{
    switch (answer) {
    case Dialogs::Answer::Yes:
        return QMessageBox::Yes;
    case Dialogs::Answer::No:
        return QMessageBox::No;
    case Dialogs::Answer::Cancel:
        return QMessageBox::Cancel;
    case Dialogs::Answer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

QString Dialogs::inputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    m_asked.append({true, prompt, shownTitle, defaultText, Buttons::Ok, Icon::None, Answer::Ok});
    if (m_scripted) {
        if (m_answers.isEmpty())
            return QString();
        const Scripted next = m_answers.takeFirst();
        return next.answer == Answer::Ok ? next.text : QString();
    }
    QInputDialog box(parent);
    box.setWindowTitle(shownTitle);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    box.setInputMode(QInputDialog::TextInput);
    // A dialog keeps the typed text after Cancel: only an accepted box answers.
    if (box.exec() != QDialog::Accepted)
        return QString();
    return box.textValue();
}

Dialogs::Answer Dialogs::messageBox(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                                    Icon icon, Answer defaultButton)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    m_asked.append({false, text, shownTitle, QString(), buttons, icon, defaultButton});
    const Answer escapeAnswer = buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    if (m_scripted)
        return m_answers.isEmpty() ? escapeAnswer : m_answers.takeFirst().answer;

    QMessageBox box(parent);
    box.setWindowTitle(shownTitle);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    if (buttons == Buttons::YesNo)
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
        box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(standardButton(defaultButton));
    box.setEscapeButton(standardButton(escapeAnswer));
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Yes))
        return Answer::Yes;
    if (box.clickedButton() == box.button(QMessageBox::No))
        return Answer::No;
    return escapeAnswer == Answer::No ? Answer::No : Answer::Ok;
}
