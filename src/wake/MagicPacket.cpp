#include "wake/MagicPacket.h"

#include "core/Failure.h"
#include "core/TextNumbers.h"
#include "wake/DatagramSender.h"

QByteArray buildMagicPacket(const std::array<QString, 6>& byteTexts)
{
    std::array<char, 6> address{};
    for (std::size_t j = 0; j < address.size(); ++j)
        address[j] = char(hexTextToByte(byteTexts[j]));

    QByteArray packet(MagicPacketSize, char(0xFF));
    for (int copy = 0; copy < 16; ++copy)
        for (std::size_t j = 0; j < address.size(); ++j)
            packet[6 + copy * 6 + int(j)] = address[j];
    return packet;
}

int repeatCount(const QString& repeatText)
{
    return isNumeric(repeatText) ? textToInt16(repeatText) : 1;
}

void sendMagicPacket(DatagramSender& sender, const std::array<QString, 6>& byteTexts, const QString& host,
                     const QString& portText, const QString& repeatText)
{
    const QByteArray packet = buildMagicPacket(byteTexts);
    const int repeat = repeatCount(repeatText);
    sender.setRemoteHost(host);
    sender.setRemotePort(textToInt16(portText));
    for (int i = 1; i <= repeat; ++i)
        sender.sendData(packet);
}

QString statusTextFor(const Failure& failure)
{
    if (failure.number() == Failure::TreatedAsSuccess)
        return QStringLiteral("OK");
    return QStringLiteral("ERROR:") + QString::number(failure.helpContext());
}
