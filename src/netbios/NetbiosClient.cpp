#include "netbios/NetbiosClient.h"

#include "netbios/NetbiosSocket.h"

#include <QRandomGenerator>
#include <functional>

namespace {

using SteadyClock = std::chrono::steady_clock;

template <typename Result> using ReplyReader = std::function<std::optional<Result>(const QByteArray& datagram)>;

// Sends `request` to every target up to `attempts` times, `retryInterval`
// apart, and waits on the socket (no event loop) for the first datagram that
// `read` accepts; anything else is ignored while the time lasts. Only a
// datagram from the port the request went to counts, and, when the request
// went to one computer (`unicast`), only one from its address; that computer
// saying it has nothing on the port ends the wait at once.
template <typename Result>
std::optional<Result> exchange(const QByteArray& request, const QList<std::uint32_t>& targets, bool unicast,
                               const NetbiosOptions& options, const ReplyReader<Result>& read)
{
    NetbiosSocket socket;
    if (!socket.isOpen() || targets.isEmpty() || (unicast && !socket.connectTo(targets.front(), options.port)))
        return std::nullopt;

    const SteadyClock::time_point start = SteadyClock::now();
    const SteadyClock::time_point deadline = start + options.timeout;
    SteadyClock::time_point nextSend = start;
    int sent = 0;
    QByteArray datagram;
    NetbiosSocket::Source from;
    for (;;) {
        const SteadyClock::time_point now = SteadyClock::now();
        if (now >= deadline)
            return std::nullopt;
        if (sent < options.attempts && now >= nextSend) {
            bool anySent = false;
            for (const std::uint32_t target : targets)
                anySent = socket.sendTo(target, options.port, request) || anySent;
            // Nowhere to send to (no route, say): waiting would not help.
            if (sent == 0 && !anySent)
                return std::nullopt;
            ++sent;
            nextSend += options.retryInterval;
        }
        const SteadyClock::time_point wakeUp = sent < options.attempts ? std::min(nextSend, deadline) : deadline;
        const NetbiosSocket::Received received = socket.receive(wakeUp, datagram, from);
        if (received == NetbiosSocket::Received::Refused)
            return std::nullopt;
        if (received == NetbiosSocket::Received::Datagram && from.port == options.port &&
            (!unicast || from.address == targets.front())) {
            if (std::optional<Result> result = read(datagram))
                return result;
        }
    }
}

std::uint16_t newTransactionId()
{
    return std::uint16_t(QRandomGenerator::global()->generate());
}

} // namespace

std::optional<netbios::MacBytes> queryNodeStatus(std::uint32_t address, const NetbiosOptions& options)
{
    const std::uint16_t id = newTransactionId();
    const QByteArray request = netbios::buildNodeStatusRequest(id, netbios::wildcardName());
    return exchange<netbios::MacBytes>(request, {address}, true, options, [&](const QByteArray& datagram) {
        return netbios::parseNodeStatusReply(datagram, id);
    });
}

std::optional<std::uint32_t> queryNameAddress(const QByteArray& name, const NetbiosOptions& options)
{
    const std::uint16_t id = newTransactionId();
    const QByteArray request = netbios::buildNameQueryRequest(id, name, true);
    const QList<std::uint32_t> targets = net::broadcastAddresses(options.readInterfaces());
    return exchange<std::uint32_t>(request, targets, false, options, [&](const QByteArray& datagram) {
        return netbios::parseNameQueryReply(datagram, id, name);
    });
}
