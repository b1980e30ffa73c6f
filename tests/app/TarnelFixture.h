#pragma once

#include "app/Dialogs.h"
#include "FakeClock.h"
#include "RecordingSender.h"
#include "app/Tarnel.h"
#include "wake/UdpSender.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A window with scripted boxes, a settable clock and its files in a temporary
// folder; the sender is a recording fake unless a real one is asked for.
struct TarnelFixture {
    explicit TarnelFixture(bool realSender = false)
    {
        dialogs.setScripted(true);
        if (realSender)
            udp = std::make_unique<UdpSender>();
        services.sender = realSender ? static_cast<DatagramSender*>(udp.get()) : &sender;
        services.clock = &clock;
        services.dialogs = &dialogs;
        services.dataDir = dir.path();
        services.useTray = false;
    }

    Tarnel& load()
    {
        window = std::make_unique<Tarnel>(services);
        window->Form_Load();
        return *window;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }

    QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    Dialogs dialogs;
    FakeClock clock;
    RecordingSender sender;
    std::unique_ptr<UdpSender> udp;
    TarnelServices services;
    std::unique_ptr<Tarnel> window;
};
