#include "MagicPacket.h"

#include "DatagramSender.h"
#include "Failure.h"
#include "TextNumbers.h"

QByteArray BuildMagicPacket(const std::array<QString, 6>& byteTexts)
{
    std::array<char, 6> address{};
    for (std::size_t j = 0; j < address.size(); ++j)
        address[j] = char(HexTextToByte(byteTexts[j]));

    QByteArray packet(MagicPacketSize, char(0xFF));
    for (int copy = 0; copy < 16; ++copy)
        for (std::size_t j = 0; j < address.size(); ++j)
            packet[6 + copy * 6 + int(j)] = address[j];
    return packet;
}

int RepeatCount(const QString& repeatText)
{
    return IsNumeric(repeatText) ? TextToInt16(repeatText) : 1;
}

void SendMagicPacket(DatagramSender& sender, const std::array<QString, 6>& byteTexts, const QString& host,
                     const QString& portText, const QString& repeatText)
{
    const QByteArray packet = BuildMagicPacket(byteTexts);
    const int repeat = RepeatCount(repeatText);
    sender.setRemoteHost(host);
    sender.setRemotePort(TextToInt16(portText));
    for (int i = 1; i <= repeat; ++i)
        sender.sendData(packet);
}

QString StatusTextFor(const Failure& failure)
{
    if (failure.number() == Failure::TreatedAsSuccess)
        return QStringLiteral("OK");
    return QStringLiteral("ERROR:") + QString::number(failure.helpContext());
}
