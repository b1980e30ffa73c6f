#pragma once

#include "FakeClock.h"
#include "RecordingSender.h"
#include "ScriptedDialogs.h"
#include "app/LimitedLineEdit.h"
#include "addressbook/AddressBook.h"
#include "app/MainWindow.h"
#include "wake/UdpSender.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A window with scripted boxes, a settable clock and its files in a temporary
// folder; the sender records datagrams unless a real one is asked for. Tests
// find the widgets by their role names, as a user finds them by their place.
struct WindowFixture {
    explicit WindowFixture(bool realSender = false)
    {
        if (realSender)
            udp = std::make_unique<UdpSender>();
        services.sender = realSender ? static_cast<DatagramSender*>(udp.get()) : &sender;
        services.clock = &clock;
        services.dialogs = &dialogs;
        services.dataDir = dir.path();
        services.useTray = false;
    }

    MainWindow& load()
    {
        window = std::make_unique<MainWindow>(services);
        window->start();
        return *window;
    }

    // Loaded, shown and active, so that focus and keys behave as for a user.
    MainWindow& loadActive()
    {
        load().show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
        return *window;
    }

    template <typename T = QWidget> T* find(const QString& name) const
    {
        T* widget = window->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    LimitedLineEdit* edit(const QString& name) const { return find<LimitedLineEdit>(name); }
    QString status() const { return find<QLabel>(QStringLiteral("statusLabel"))->text(); }
    void click(const QString& name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    void setMac(const QString& twelveDigits) const
    {
        for (int j = 0; j < 6; ++j)
            edit(QStringLiteral("macEdit%1").arg(j))->setText(twelveDigits.mid(2 * j, 2));
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
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("could not write %s", qPrintable(name));
    }
    QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FakeClock clock;
    RecordingSender sender;
    std::unique_ptr<UdpSender> udp;
    AppServices services;
    std::unique_ptr<MainWindow> window;
};

// One line of "address.lst": the name, twelve MAC digits, the every-day alarm,
// seven unset weekdays, the host.
inline QByteArray bookLine(const QString& name, const QString& mac, const QString& host = QStringLiteral("10.0.0.1"),
                           const QString& everyDay = QStringLiteral("__:__"))
{
    return (name + u',' + mac + u',' + everyDay + QStringLiteral(",__:__").repeated(7) + u',' + host + "\r\n")
        .toUtf8();
}
