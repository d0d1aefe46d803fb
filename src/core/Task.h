#pragma once

// moc reads the headers that name these types, not the C++20 headers behind them.
#ifndef Q_MOC_RUN

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace palletry {

template <typename T>
class Task;

namespace detail {

/// What every task's promise shares: who awaits it, and how a failure travels to them.
struct TaskPromiseBase
{
    std::coroutine_handle<> continuation;
    std::exception_ptr failure;

    std::suspend_always initial_suspend() noexcept { return {}; }

    struct FinalAwaiter
    {
        bool await_ready() noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> self) noexcept
        {
            // Straight on with the awaiting step, without growing the stack.
            if (std::coroutine_handle<> next = self.promise().continuation)
                return next;
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { failure = std::current_exception(); }
};

template <typename T>
struct TaskPromise : TaskPromiseBase
{
    std::optional<T> value;
    Task<T> get_return_object();
    template <typename U>
    void return_value(U&& result)
    {
        value.emplace(std::forward<U>(result));
    }
    T take() { return std::move(*value); }
};

template <>
struct TaskPromise<void> : TaskPromiseBase
{
    Task<void> get_return_object();
    void return_void() {}
    void take() {}
};

} // namespace detail

/**
 * One step of an action that may wait for the service or the clerk: a
 * coroutine that starts when it is awaited (or started by its owner) and hands
 * its result, or its failure, to whoever awaits it. Nothing of it runs on a
 * waiting stack: while it waits, its frame is held by the task object, and
 * destroying that object (the control going away) ends it there, running the
 * destructors of its locals and of the tasks it awaits.
 */
template <typename T = void>
class [[nodiscard]] Task
{
public:
    using promise_type = detail::TaskPromise<T>;

    explicit Task(std::coroutine_handle<promise_type> handle)
        : m_handle(handle)
    {
    }
    Task(Task&& other) noexcept
        : m_handle(std::exchange(other.m_handle, {}))
    {
    }
    Task& operator=(Task&& other) noexcept
    {
        if (this != &other) {
            if (m_handle)
                m_handle.destroy();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    ~Task()
    {
        if (m_handle)
            m_handle.destroy();
    }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept
    {
        m_handle.promise().continuation = awaiting;
        return m_handle;
    }
    T await_resume()
    {
        if (m_handle.promise().failure)
            std::rethrow_exception(m_handle.promise().failure);
        return m_handle.promise().take();
    }

    /// For the owner of an outermost task: its frame, to start and to tell whether it ended.
    std::coroutine_handle<> handle() const { return m_handle; }
    bool done() const { return !m_handle || m_handle.done(); }
    /// After done(): the result, or the failure rethrown.
    T result() { return await_resume(); }

private:
    std::coroutine_handle<promise_type> m_handle;
};

namespace detail {

template <typename T>
Task<T> TaskPromise<T>::get_return_object()
{
    return Task<T>(std::coroutine_handle<TaskPromise<T>>::from_promise(*this));
}

inline Task<void> TaskPromise<void>::get_return_object()
{
    return Task<void>(std::coroutine_handle<TaskPromise<void>>::from_promise(*this));
}

} // namespace detail

/**
 * Runs @p task to its end on the calling thread and returns its result. Only for
 * tasks that never wait on the event loop: those whose calls run their transfers
 * where they are made (no TransferRunner set), as in the tests of the lower layers.
 */
template <typename T>
T runToEnd(Task<T>&& task)
{
    Task<T> owned(std::move(task));
    owned.handle().resume();
    if (!owned.done())
        std::terminate(); // a task that waits needs an owner on the event loop
    return owned.result();
}

} // namespace palletry

#endif // Q_MOC_RUN
