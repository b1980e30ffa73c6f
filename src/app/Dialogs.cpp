#include "app/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {

QString titleOrDefault(const QString& title)
{
    return title.isEmpty() ? Dialogs::applicationTitle() : title;
}

// A plain-text box: a name typed by the user is never read as markup.
void showNotice(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(titleOrDefault(title));
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace

QString WidgetDialogs::askText(QWidget* parent, const QString& prompt, const QString& defaultText)
{
    QInputDialog box(parent);
    box.setWindowTitle(applicationTitle());
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    box.setInputMode(QInputDialog::TextInput);
    // A dialog keeps the typed text after Cancel: only an accepted box answers.
    if (box.exec() != QDialog::Accepted)
        return QString();
    return box.textValue();
}

bool WidgetDialogs::confirm(QWidget* parent, const QString& question, const QString& title)
{
    QMessageBox box(parent);
    box.setWindowTitle(titleOrDefault(title));
    box.setText(question);
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void WidgetDialogs::warn(QWidget* parent, const QString& text, const QString& title)
{
    showNotice(parent, text, title, QMessageBox::Warning);
}

void WidgetDialogs::inform(QWidget* parent, const QString& text)
{
    showNotice(parent, text, QString(), QMessageBox::NoIcon);
}
