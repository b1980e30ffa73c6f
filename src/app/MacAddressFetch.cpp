#include "app/MacAddressFetch.h"

#include "app/Dialogs.h"
#include "app/FieldNavigation.h"
#include "app/LimitedLineEdit.h"
#include "app/MainForm.h"

MacAddressFetch::MacAddressFetch(const MainForm& form, Dialogs& dialogs, Lookup lookup, QWidget* window)
    : QObject(window), m_dialogs(dialogs), m_lookup(std::move(lookup)), m_window(window), m_macEdits(form.macEdits())
{
}

void MacAddressFetch::fetchMac()
{
    const QString prompt = QStringLiteral("IPアドレスを入力してください（自分の場合は * でもＯＫです）\r\n\r\n"
                                          "         Windows95 の場合は * 以外取得できません");
    const QString computer = m_dialogs.askText(m_window, prompt);
    const QString mac = computer.isEmpty() ? QString() : m_lookup(computer);
    if (mac.size() != 12) {
        m_dialogs.inform(m_window, QStringLiteral("MACアドレスが取得できませんでした"));
        return;
    }
    for (std::size_t j = 0; j < m_macEdits.size(); ++j)
        m_macEdits[j]->setText(mac.mid(2 * qsizetype(j), 2));
    m_macEdits[0]->setFocus(Qt::OtherFocusReason);
    // Select even when the box had the focus already and so gets no focus event.
    FieldNavigation::selectWhole(m_macEdits[0]);
}
