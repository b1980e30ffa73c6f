#include "net/HostResolver.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace net {

HostLookup lookUpHostWithin(const QString& name, std::chrono::milliseconds limit,
                            std::function<HostLookup(const QString&)> lookUp)
{
    // Shared with the thread, which may outlive this call.
    struct Answer {
        std::mutex mutex;
        std::condition_variable ready;
        std::optional<HostLookup> lookup;
    };
    const auto answer = std::make_shared<Answer>();
    std::thread([answer, name, lookUp = std::move(lookUp)] {
        const HostLookup found = lookUp(name);
        const std::lock_guard lock(answer->mutex);
        answer->lookup = found;
        answer->ready.notify_all();
    }).detach();
    std::unique_lock lock(answer->mutex);
    if (!answer->ready.wait_for(lock, limit, [&] { return answer->lookup.has_value(); }))
        return {HostLookup::Status::TryAgain, 0};
    return *answer->lookup;
}

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
