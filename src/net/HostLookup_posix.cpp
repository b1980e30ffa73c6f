// The system resolver on POSIX systems: getaddrinfo.
#include "net/HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace net {

HostLookup lookUpHost(const QString& name)
{
    const QByteArray bytes = name.toLocal8Bit();
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* list = nullptr;
    const int rc = ::getaddrinfo(bytes.constData(), nullptr, &hints, &list);
    HostLookup result;
    if (rc == 0 && list) {
        result.status = HostLookup::Status::Found;
        result.address = ntohl(reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.s_addr);
    } else if (rc == EAI_AGAIN) {
        result.status = HostLookup::Status::TryAgain;
    }
    if (list)
        ::freeaddrinfo(list);
    return result;
}

} // namespace net
