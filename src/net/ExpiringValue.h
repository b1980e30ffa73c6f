#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

namespace net {

using SteadyClock = std::chrono::steady_clock;
// Reads the steady clock; tests hand in one they step themselves.
using SteadyNow = std::function<SteadyClock::time_point()>;

// A value read afresh at most once per lifetime: the first get() reads it, and
// so does the first get() at or after the moment it expires.
template <typename T> class ExpiringValue {
public:
    ExpiringValue(std::function<T()> read, SteadyClock::duration lifetime, SteadyNow now = SteadyClock::now)
        : m_read(std::move(read)), m_lifetime(lifetime), m_now(std::move(now))
    {
    }

    const T& get()
    {
        const SteadyClock::time_point now = m_now();
        if (!m_value || now >= m_expires) {
            m_value = m_read();
            m_expires = now + m_lifetime;
        }
        return *m_value;
    }

private:
    std::function<T()> m_read;
    SteadyClock::duration m_lifetime;
    SteadyNow m_now;
    std::optional<T> m_value;
    SteadyClock::time_point m_expires;
};

} // namespace net
