#pragma once

#include <functional>
#include <utility>

namespace palletry {

/**
 * A value that tells one listener whenever it changes, whoever assigns it: a
 * property whose NOTIFY signal must not depend on every writer remembering it.
 * Reads and writes like the plain value.
 */
template <typename T>
class Watched
{
public:
    Watched(T value = T())
        : m_value(std::move(value))
    {
    }
    Watched& operator=(T value)
    {
        if (value == m_value)
            return *this;
        m_value = std::move(value);
        if (m_listener)
            m_listener(m_value);
        return *this;
    }
    operator T() const { return m_value; }

    void setListener(std::function<void(const T&)> listener) { m_listener = std::move(listener); }

private:
    T m_value;
    std::function<void(const T&)> m_listener;
};

} // namespace palletry
