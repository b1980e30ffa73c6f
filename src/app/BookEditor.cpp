#include "app/BookEditor.h"

#include "app/AddressBookModel.h"
#include "app/Dialogs.h"
#include "app/LimitedLineEdit.h"
#include "app/MainForm.h"
#include "core/Failure.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QtDebug>

namespace {

const QString NamePrompt = QStringLiteral("名前を入力して下さい");

} // namespace

BookEditor::BookEditor(const MainForm& form, AddressBookModel& model, Dialogs& dialogs, const QString& filePath,
                       QWidget* window)
    : QObject(window), m_model(model), m_dialogs(dialogs), m_file(filePath), m_window(window),
      m_computerCombo(form.computerCombo()), m_hostEdit(form.hostEdit()), m_macEdits(form.macEdits()),
      m_alarmEdits(form.alarmEdits())
{
}

void BookEditor::load()
{
    AddressListLoad loaded = m_file.load();
    m_model.resetBook(std::move(loaded.book));
    if (m_model.rowCount() > 0)
        choose(0);
    if (m_file.notOrdinary())
        m_dialogs.warn(m_window, QStringLiteral("「%1」は通常のファイルではないため、アドレス帳を読み込めません。"
                                                "編集はできますが、このファイルには保存しません。")
                                     .arg(QDir::toNativeSeparators(m_file.path())));
}

void BookEditor::choose(int row)
{
    {
        const QSignalBlocker blocker(m_computerCombo);
        m_computerCombo->setCurrentIndex(row);
    }
    showChosen();
}

void BookEditor::showChosen()
{
    const int row = m_computerCombo->currentIndex();
    if (row < 0 || row >= m_model.rowCount())
        return;
    const AddressEntry& entry = m_model.book().at(row);
    m_hostEdit->setText(entry.host);
    for (std::size_t j = 0; j < m_macEdits.size(); ++j)
        m_macEdits[j]->setText(entry.mac[j]);
    for (std::size_t s = 0; s < m_alarmEdits.size(); ++s)
        m_alarmEdits[s]->setText(entry.alarms[s]);
}

AddressEntry BookEditor::entryFromBoxes(const QString& name) const
{
    AddressEntry entry;
    entry.name = name;
    entry.host = m_hostEdit->text();
    for (int j = 0; j < AddressEntry::MacBytes; ++j)
        entry.setMac(j, m_macEdits[std::size_t(j)]->text());
    for (std::size_t s = 0; s < m_alarmEdits.size(); ++s)
        entry.alarms[s] = m_alarmEdits[s]->text();
    return entry;
}

bool BookEditor::refuseUnstorable(const QString& name)
{
    QStringList texts = {name, m_hostEdit->text()};
    for (LimitedLineEdit* edit : m_macEdits)
        texts.append(edit->text());
    for (LimitedLineEdit* edit : m_alarmEdits)
        texts.append(edit->text());
    for (const QString& text : std::as_const(texts)) {
        if (!isStorableInAddressLine(text)) {
            m_dialogs.warn(
                m_window,
                QStringLiteral("名前、送信先ホスト、MACアドレス、アラーム設定には「,」(カンマ) や改行を使えません。"));
            return true;
        }
    }
    return false;
}

void BookEditor::addComputer()
{
    // A cancelled add still rewrites the file (and so creates it).
    const QString name = m_dialogs.askText(m_window, NamePrompt);
    if (!name.isEmpty()) {
        if (refuseUnstorable(name))
            return;
        if (!m_model.append(entryFromBoxes(name))) {
            m_dialogs.warn(m_window,
                           QStringLiteral("アドレス帳には %1 件までしか登録できません。").arg(AddressBook::MaxEntries));
            return;
        }
        choose(m_model.rowCount() - 1);
    }
    save();
}

void BookEditor::changeComputer()
{
    // With nothing chosen there is nothing to ask, and the file is rewritten as it is.
    const int row = m_computerCombo->currentIndex();
    if (row >= 0 && row < m_model.rowCount()) {
        const QString name = m_dialogs.askText(m_window, NamePrompt, m_model.book().at(row).name);
        if (name.isEmpty() || refuseUnstorable(name))
            return;
        m_model.replace(row, entryFromBoxes(name));
    }
    save();
}

void BookEditor::deleteComputer()
{
    const int row = m_computerCombo->currentIndex();
    if (row >= 0 && row < m_model.rowCount()) {
        if (!m_dialogs.confirm(m_window, QStringLiteral("リストから削除しますか？"), QStringLiteral("確認")))
            return;
        {
            const QSignalBlocker blocker(m_computerCombo);
            m_model.remove(row);
        }
        // The entry that followed the deleted one, or the new last one.
        choose(std::min(row, m_model.rowCount() - 1));
    }
    save();
}

void BookEditor::markAll()
{
    m_model.setAllMarked(true);
}

void BookEditor::unmarkAll()
{
    m_model.setAllMarked(false);
}

void BookEditor::clearAlarms()
{
    for (LimitedLineEdit* edit : m_alarmEdits)
        edit->setText(MainForm::EmptyAlarm);
}

void BookEditor::save()
{
    const AddressBookFile::SaveResult result = m_file.save(m_model.book());
    if (!result.backupPath.isEmpty())
        m_dialogs.warn(m_window, backupMessage(result));
    if (result.saved)
        return;
    const QString path = QDir::toNativeSeparators(m_file.path());
    if (result.error == NotOrdinaryFile)
        m_dialogs.warn(
            m_window,
            QStringLiteral("「%1」は通常のファイルではないため、アドレス帳を保存できませんでした。").arg(path));
    else if (m_file.pendingChange() != AddressBookFile::Change::None)
        m_dialogs.warn(
            m_window,
            QStringLiteral("元のファイルを残せなかったため、アドレス帳を「%1」に保存しませんでした。\n原因：%2")
                .arg(path, fileErrorText(result.error)));
    else
        m_dialogs.warn(m_window, QStringLiteral("アドレス帳を「%1」に保存できませんでした。\n原因：%2")
                                     .arg(path, fileErrorText(result.error)));
}

QString BookEditor::backupMessage(const AddressBookFile::SaveResult& result) const
{
    // The backup lies beside the file, or beside the file a link points at.
    const QFileInfo backup(result.backupPath);
    const QString kept = backup.absolutePath() == QFileInfo(m_file.path()).absolutePath()
                             ? backup.fileName()
                             : QDir::toNativeSeparators(backup.filePath());
    switch (result.change) {
    case AddressBookFile::Change::FromShiftJis:
        return QStringLiteral("アドレス帳ファイルをShift-JISとして読み込みました。これからはUTF-8で保存するため、"
                              "元のファイルを「%1」として残しました。")
            .arg(kept);
    case AddressBookFile::Change::Reshaped:
        return QStringLiteral("アドレス帳ファイルの%2行目などは、保存すると元と同じ形になりません（余分な項目、"
                              "長すぎるMACアドレス、項目の足りない行など）。そのため、元のファイルを「%1」として"
                              "残しました。")
            .arg(kept)
            .arg(m_file.firstChangedLine());
    default:
        return QStringLiteral("アドレス帳ファイルの一部を読み込めなかったため、元のファイルを「%1」として残しました。")
            .arg(kept);
    }
}
