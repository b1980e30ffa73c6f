#pragma once

#include "app/Dialogs.h"

#include <QStringList>

// Boxes that are never shown: each takes the next answer queued here (an input
// box the empty text, a question No, when none is queued), and every box
// asked for is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { AskText, Confirm, Warn, Inform };
    struct Asked {
        Kind kind;
        QString text, title, defaultText;
    };

    void answerText(const QString& text) { m_texts.append(text); }
    void answerYes() { m_yes.append(true); }

    const QList<Asked>& asked() const { return m_asked; }
    QStringList askedTexts() const
    {
        QStringList texts;
        for (const Asked& box : m_asked)
            texts.append(box.text);
        return texts;
    }
    void clear() { m_asked.clear(); }

    QString askText(QWidget*, const QString& prompt, const QString& defaultText = {}) override
    {
        m_asked.append({Kind::AskText, prompt, applicationTitle(), defaultText});
        return m_texts.isEmpty() ? QString() : m_texts.takeFirst();
    }
    bool confirm(QWidget*, const QString& question, const QString& title) override
    {
        m_asked.append({Kind::Confirm, question, title, {}});
        return !m_yes.isEmpty() && m_yes.takeFirst();
    }
    void warn(QWidget*, const QString& text, const QString& title = {}) override
    {
        m_asked.append({Kind::Warn, text, title.isEmpty() ? applicationTitle() : title, {}});
    }
    void inform(QWidget*, const QString& text) override
    {
        m_asked.append({Kind::Inform, text, applicationTitle(), {}});
    }

private:
    QStringList m_texts;
    QList<bool> m_yes;
    QList<Asked> m_asked;
};
