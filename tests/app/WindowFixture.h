#pragma once

#include "FakeClock.h"
#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "addressbook/AddressBook.h"
#include "app/LimitedLineEdit.h"
#include "app/MainWindow.h"
#include "wake/UdpSender.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A window with scripted boxes, a settable clock, the real UDP sender and its
// files in a temporary folder. Tests find the widgets by their role names.
struct WindowFixture {
    // Started; active when asked, so that focus and keys behave as for a user.
    MainWindow& load(const QByteArray& book = {}, bool active = false)
    {
        if (!book.isEmpty())
            writeFile("address.lst", book);
        window = std::make_unique<MainWindow>(services);
        window->start();
        if (active && (window->activateWindow(), !QTest::qWaitForWindowActive(window.get())))
            qWarning("the window did not become active");
        return *window;
    }
    template <typename T = QWidget> T* find(const QString& name) const
    {
        T* widget = window->findChild<T*>(name);
        return widget ? widget : (qFatal("no widget %s", qPrintable(name)), nullptr);
    }
    LimitedLineEdit* edit(const QString& name) const { return find<LimitedLineEdit>(name); }
    QString status() const { return find<QLabel>(QStringLiteral("statusLabel"))->text(); }
    void click(const QString& name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    void setMac(const QString& digits) const
    {
        for (int j = 0; j < 6; ++j)
            edit(QStringLiteral("macEdit%1").arg(j))->setText(digits.mid(2 * j, 2));
    }
    QString mac() const
    {
        QString digits;
        for (int j = 0; j < 6; ++j)
            digits += edit(QStringLiteral("macEdit%1").arg(j))->text();
        return digits;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray readFile(const QString& name) const { return fileBytes(path(name)); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FakeClock clock;
    UdpSender sender;
    AppServices services{&sender, &clock, &dialogs, dir.path(), false, {}};
    std::unique_ptr<MainWindow> window;
};

// One line of "address.lst": name, MAC, alarms (every day, Sunday … Saturday, "__:__" when not given), host.
inline QByteArray bookLine(const QString& name, const QString& mac, const QString& host = QStringLiteral("10.0.0.1"),
                           const QString& everyDay = QStringLiteral("__:__"),
                           const QString& monday = QStringLiteral("__:__"))
{
    return QStringLiteral("%1,%2,%3,__:__,%4,__:__,__:__,__:__,__:__,__:__,%5\r\n")
        .arg(name, mac, everyDay, monday, host)
        .toUtf8();
}
