#include "net/HostResolver.h"

namespace net {

HostResolver::HostResolver(std::function<HostLookup(const QString&)> lookUp, SteadyNow now)
    : m_lookUp(std::move(lookUp)), m_now(std::move(now))
{
}

HostLookup HostResolver::resolve(const QString& name)
{
    const SteadyClock::time_point now = m_now();
    auto it = m_cache.find(name);
    if (it == m_cache.end() || now >= it->expires) {
        if (it == m_cache.end() && m_cache.size() >= CacheLimit)
            m_cache.clear();
        it = m_cache.insert(name, {m_lookUp(name), now + Lifetime});
    }
    return it->lookup;
}

} // namespace net
