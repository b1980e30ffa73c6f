#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

// NetBIOS-over-TCP/IP datagrams for the adapter-status query: the node-status
// request and reply (question type NBSTAT), and the name query that finds a
// computer's address first. Only bytes in, bytes out: no sockets here, so every
// rule can be tested and fuzzed directly.
namespace netbios {

// A NetBIOS name is always 16 bytes on the wire.
constexpr int NameLength = 16;
// Question and resource-record types.
constexpr std::uint16_t TypeNb = 0x20;
constexpr std::uint16_t TypeNodeStatus = 0x21;

using MacBytes = std::array<std::uint8_t, 6>;

enum class LetterCase { AsTyped, Upper };

// The 16 bytes of a name: its first 16 characters, converted to code page 932
// as Japanese Windows computers register their names, cut at a character
// boundary to at most 16 bytes and padded with spaces. A character with no
// code-page form becomes "?". With LetterCase::Upper the ASCII letters a to z
// are made capitals first, as Windows does before it asks for a name.
QByteArray nameBytes(QStringView name, LetterCase letterCase = LetterCase::AsTyped);

// "*" followed by fifteen zero bytes: asks whichever node receives the request.
QByteArray wildcardName();

// The request datagrams (50 bytes each). `name` must be 16 bytes.
QByteArray buildNodeStatusRequest(std::uint16_t transactionId, const QByteArray& name);
QByteArray buildNameQueryRequest(std::uint16_t transactionId, const QByteArray& name, bool broadcast);

// The hardware address in a node-status reply: the first six bytes of the
// statistics after the name table. Empty unless the datagram is a positive
// response to this transaction of type NBSTAT and every count and length in it
// fits inside both the datagram and the record's data length.
std::optional<MacBytes> parseNodeStatusReply(QByteArrayView datagram, std::uint16_t transactionId);

// The first usable IPv4 address (host byte order) of a positive name-query
// response to this transaction for `name` (16 bytes); empty for anything else.
std::optional<std::uint32_t> parseNameQueryReply(QByteArrayView datagram, std::uint16_t transactionId,
                                                 const QByteArray& name);

// A dotted-quad IPv4 address text, trailing blanks ignored (they are the
// padding of a name anyway), in host byte order.
std::optional<std::uint32_t> parseIpv4Text(QStringView text);

} // namespace netbios
