#pragma once

#include "wake/DatagramSender.h"

#include <memory>

// The window's UDP socket. IPv4 address texts go straight through; other texts
// are resolved by the system resolver and kept for a few seconds, since the
// alarm clock may wake the same entry ten times a second. Broadcast is
// permitted; a datagram to the limited broadcast address 255.255.255.255 goes
// out of every interface that is up and can broadcast, so it reaches every
// network the computer is on, default route or not.
//
// Failures carry Winsock-style codes (see the README's troubleshooting table).
class UdpSender final : public DatagramSender {
public:
    UdpSender();
    ~UdpSender() override;
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    void setRemoteHost(const QString& host) override;
    void setRemotePort(int port) override;
    void sendData(const QByteArray& payload) override;

    // Codes of the failures this sender reports.
    enum Code : int {
        PermissionDenied = 10013,          // WSAEACCES
        InvalidArgument = 10022,           // WSAEINVAL
        DestinationRequired = 10039,       // WSAEDESTADDRREQ: the host text is empty
        MessageTooLong = 10040,            // WSAEMSGSIZE
        AddressFamilyNotSupported = 10047, // WSAEAFNOSUPPORT: no IPv4 socket could be made
        AddressNotAvailable = 10049,       // WSAEADDRNOTAVAIL: also a port outside 1 to 65535
        NetworkDown = 10050,               // WSAENETDOWN
        NetworkUnreachable = 10051,        // WSAENETUNREACH
        NoBufferSpace = 10055,             // WSAENOBUFS
        HostUnreachable = 10065,           // WSAEHOSTUNREACH
        HostNotFound = 11001,              // WSAHOST_NOT_FOUND
        TryAgain = 11002,                  // WSATRY_AGAIN: the resolver could not answer now
    };

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
