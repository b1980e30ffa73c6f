#pragma once

#include "net/ExpiringValue.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>

namespace net {

// What the system resolver says about a host name, IPv4 only.
struct HostLookup {
    enum class Status { Found, NotFound, TryAgain };
    Status status = Status::NotFound;
    std::uint32_t address = 0; // host byte order; only when found

    bool found() const { return status == Status::Found; }
};

// Asks the system resolver now (blocking) for the first IPv4 address of
// `name`. "Try again" is the resolver's own answer that it cannot tell now (a
// name server that did not answer); every other failure is "not found", and so
// is an empty name or one holding a NUL, which the resolver would cut short.
HostLookup lookUpHost(const QString& name);

// `lookUp(name)` given at most `limit`: a resolver that has not answered by
// then counts as "try again", and its late answer is dropped. The lookup runs
// on a thread of its own, which ends when the resolver gives up.
HostLookup lookUpHostWithin(const QString& name, std::chrono::milliseconds limit,
                            std::function<HostLookup(const QString&)> lookUp = lookUpHost);

// lookUpHost with its answers, found or not, kept for a few seconds: the alarm
// clock may wake the same entry ten times a second, and each send would
// otherwise ask the name server again.
class HostResolver {
public:
    static constexpr auto Lifetime = std::chrono::seconds(5);
    // Past this many names the whole cache is dropped; a user types few hosts.
    static constexpr int CacheLimit = 256;

    explicit HostResolver(std::function<HostLookup(const QString&)> lookUp = lookUpHost,
                          SteadyNow now = SteadyClock::now);

    HostLookup resolve(const QString& name);

private:
    struct Cached {
        HostLookup lookup;
        SteadyClock::time_point expires;
    };

    std::function<HostLookup(const QString&)> m_lookUp;
    SteadyNow m_now;
    QHash<QString, Cached> m_cache;
};

} // namespace net
