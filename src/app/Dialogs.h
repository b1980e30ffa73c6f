#pragma once

#include <QString>

class QWidget;

// The program's modal boxes, named by what they ask. The window's parts show
// every box through this interface, so tests can answer the boxes instead.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A text typed into an input box; the empty text when the box is cancelled.
    virtual QString askText(QWidget* parent, const QString& prompt, const QString& defaultText = {}) = 0;
    // A question answered Yes or No; No is the default and the Escape answer.
    virtual bool confirm(QWidget* parent, const QString& question, const QString& title) = 0;
    // A notice with the warning icon and an OK button.
    virtual void warn(QWidget* parent, const QString& text, const QString& title = {}) = 0;
    // A notice without an icon and with an OK button.
    virtual void inform(QWidget* parent, const QString& text) = 0;

    // The title of every box given none of its own.
    static QString applicationTitle() { return QStringLiteral("Tarnel!"); }
};

// The boxes as Qt's standard input and message boxes.
class WidgetDialogs final : public Dialogs {
public:
    QString askText(QWidget* parent, const QString& prompt, const QString& defaultText = {}) override;
    bool confirm(QWidget* parent, const QString& question, const QString& title) override;
    void warn(QWidget* parent, const QString& text, const QString& title = {}) override;
    void inform(QWidget* parent, const QString& text) override;
};
