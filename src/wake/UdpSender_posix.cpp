// The UDP sender on POSIX systems (Linux): BSD sockets.
#include "wake/UdpSender.h"

#include "core/Failure.h"
#include "net/HostResolver.h"
#include "net/NetworkInterfaces.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr auto InterfaceLifetime = std::chrono::seconds(5);

int codeForErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return UdpSender::PermissionDenied;
    case EADDRNOTAVAIL:
        return UdpSender::AddressNotAvailable;
    case ENETUNREACH:
        return UdpSender::NetworkUnreachable;
    case EHOSTUNREACH:
        return UdpSender::HostUnreachable;
    case ENETDOWN:
        return UdpSender::NetworkDown;
    case EMSGSIZE:
        return UdpSender::MessageTooLong;
    case ENOBUFS:
    case ENOMEM:
    case EAGAIN:
        return UdpSender::NoBufferSpace;
    case EAFNOSUPPORT:
        return UdpSender::AddressFamilyNotSupported;
    default:
        return UdpSender::InvalidArgument;
    }
}

Failure socketFailure(int error, const QString& what)
{
    return Failure::socket(codeForErrno(error),
                           what + QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

struct UdpSender::Impl {
    int fd = -1;
    QString host;
    int port = 0;
    // The last address text that went straight through, and its address:
    // a batch or an alarm minute sends thousands of datagrams to one host.
    QString literalHost;
    in_addr literalAddress{};
    net::HostResolver resolver;
    // Indexes of the interfaces a limited broadcast leaves by, read again every few seconds.
    net::ExpiringValue<std::vector<int>> broadcastInterfaces{
        [] { return net::broadcastInterfaceIndexes(net::scanInterfaces()); }, InterfaceLifetime};

    ~Impl()
    {
        if (fd >= 0)
            ::close(fd);
    }

    void ensureSocket()
    {
        if (fd >= 0)
            return;
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            throw socketFailure(errno, QStringLiteral("UDP ソケットを作れません"));
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    }

    in_addr resolve(const QString& text)
    {
        if (text.isEmpty())
            throw Failure::socket(DestinationRequired, QStringLiteral("送信先ホストが空です"));
        if (text == literalHost)
            return literalAddress;
        in_addr address{};
        const QByteArray bytes = text.toLocal8Bit();
        if (::inet_pton(AF_INET, bytes.constData(), &address) == 1) {
            literalHost = text;
            literalAddress = address;
            return address;
        }

        const net::HostLookup found = resolver.resolve(text);
        if (!found.found())
            throw Failure::socket(found.status == net::HostLookup::Status::TryAgain ? TryAgain : HostNotFound,
                                  QStringLiteral("ホスト「%1」が見つかりません").arg(text));
        address.s_addr = htonl(found.address);
        return address;
    }

    // The limited broadcast sent out of one interface: the interface is named
    // in the packet info, so no route is needed and the datagram stays
    // addressed to 255.255.255.255 as the user asked.
    int sendOutOf(int ifindex, const sockaddr_in& to, const QByteArray& payload)
    {
        iovec iov{const_cast<char*>(payload.constData()), std::size_t(payload.size())};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        msghdr msg{};
        msg.msg_name = const_cast<sockaddr_in*>(&to);
        msg.msg_namelen = sizeof to;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
        cmsg->cmsg_level = IPPROTO_IP;
        cmsg->cmsg_type = IP_PKTINFO;
        cmsg->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = ifindex;
        std::memcpy(CMSG_DATA(cmsg), &info, sizeof info);
        return ::sendmsg(fd, &msg, MSG_NOSIGNAL) < 0 ? errno : 0;
    }
};

UdpSender::UdpSender() : m_impl(std::make_unique<Impl>()) {}

UdpSender::~UdpSender() = default;

void UdpSender::setRemoteHost(const QString& host)
{
    m_impl->host = host;
}

void UdpSender::setRemotePort(int port)
{
    m_impl->port = port;
}

void UdpSender::sendData(const QByteArray& payload)
{
    if (m_impl->port < 1 || m_impl->port > 65535)
        throw Failure::socket(AddressNotAvailable,
                              QStringLiteral("ポート番号 %1 は 1 から 65535 の範囲外です").arg(m_impl->port));
    const in_addr address = m_impl->resolve(m_impl->host);
    m_impl->ensureSocket();

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(quint16(m_impl->port));
    to.sin_addr = address;

    if (address.s_addr == INADDR_BROADCAST) {
        int firstError = 0;
        bool sent = false;
        for (int ifindex : m_impl->broadcastInterfaces.get()) {
            const int error = m_impl->sendOutOf(ifindex, to, payload);
            if (error == 0)
                sent = true;
            else if (firstError == 0)
                firstError = error;
        }
        if (sent)
            return;
        if (firstError != 0)
            throw socketFailure(firstError, QStringLiteral("ブロードキャストを送信できません"));
        // No interface to broadcast on: the plain send decides.
    }
    const ssize_t rc = ::sendto(m_impl->fd, payload.constData(), std::size_t(payload.size()), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (rc < 0)
        throw socketFailure(errno, QStringLiteral("%1:%2 へ送信できません").arg(m_impl->host).arg(m_impl->port));
}
