#pragma once

#include <QByteArray>
#include <QString>
#include <array>

class DatagramSender;
class Failure;

constexpr int MagicPacketSize = 102;

// Six bytes 255, then the six address bytes sixteen times, byte 0 first.
// Each byte is one or two hexadecimal digits (trailing blanks ignored); a byte
// text that does not convert throws its Failure before anything is built.
QByteArray buildMagicPacket(const std::array<QString, 6>& byteTexts);

// How many times a datagram goes out: the repeat box read as a 16-bit number,
// or 1 when it holds no number. Throws overflow for an out-of-range number.
int repeatCount(const QString& repeatText);

// Builds the packet and sends it `repeatText` times to `host` and the port in
// `portText`, back to back, in the order the window's send takes: the packet,
// the repeat count, the host, the port, the datagrams. Throws the first Failure.
void sendMagicPacket(DatagramSender& sender, const std::array<QString, 6>& byteTexts, const QString& host,
                     const QString& portText, const QString& repeatText);

// The status text a failed send leaves: "OK" for error 126, otherwise
// "ERROR:" and the failure's help-context number.
QString statusTextFor(const Failure& failure);
