#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The program's modal boxes: the input box and the message box. Tests switch
// it to scripted mode and pre-answer it; every box asked for is recorded.
class Dialogs {
public:
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Exclamation };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Asked {
        bool input = false;
        QString text;
        QString title;
        QString defaultText;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        Answer defaultButton = Answer::Ok;
    };

    // The title of every box given none of its own.
    static QString applicationTitle() { return QStringLiteral("Tarnel!"); }

    virtual ~Dialogs() = default;

    // The typed text on OK, the empty text on Cancel.
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText);
    Answer messageBox(QWidget* parent, const QString& text, const QString& title, Buttons buttons, Icon icon,
                      Answer defaultButton);

    // Scripted mode: no box is shown; each box takes the next answer given here
    // (an input box takes the text, or Cancel when given nullptr-like `cancel`).
    void setScripted(bool scripted) { m_scripted = scripted; }
    void setNextAnswer(Answer answer) { m_answers.append({answer, QString()}); }
    void setNextInput(const QString& text) { m_answers.append({Answer::Ok, text}); }
    const QList<Asked>& asked() const { return m_asked; }
    void clearAsked() { m_asked.clear(); }
    int pendingAnswers() const { return int(m_answers.size()); }

private:
    struct Scripted {
        Answer answer;
        QString text;
    };
    bool m_scripted = false;
    QList<Scripted> m_answers;
    QList<Asked> m_asked;
};
