#pragma once

// moc reads the headers that name these types, not the C++20 headers behind them.
#ifndef Q_MOC_RUN

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

namespace palletry {

/**
 * Where an action's long work that touches no widget runs while the action waits,
 * so that the user-interface thread stays free to paint. The control's runner runs
 * it on a worker thread and resumes the action on the event loop afterwards.
 */
class AsideRunner
{
public:
    virtual ~AsideRunner() = default;

    /**
     * Runs @p work away from the calling thread and returns at once; @p waiting is
     * resumed on the event loop once it has ended, never inside this call. When the
     * action is dropped meanwhile, @p work still ends, on its own thread, and
     * nobody is resumed: it must hold everything it uses (shared_ptr), nothing of
     * the action's frame or of the control.
     */
    virtual void runAside(std::function<void()> work, std::coroutine_handle<> waiting) = 0;
};

/**
 * Awaits @p work run by @p runner, or runs it at once when there is no runner (the
 * lower layers' tests, a control whose calls block). A failure in the work is
 * rethrown where the action awaits it. Name it in a local and co_await the local.
 */
class Aside
{
public:
    Aside(AsideRunner* runner, std::function<void()> work)
        : m_runner(runner)
        , m_state(std::make_shared<State>())
    {
        m_state->work = std::move(work);
    }

    bool await_ready()
    {
        if (m_runner)
            return false;
        run(*m_state);
        return true;
    }

    void await_suspend(std::coroutine_handle<> waiting)
    {
        // The worker keeps the state alive on its own: the action may be gone when it ends.
        m_runner->runAside([state = m_state] { run(*state); }, waiting);
    }

    void await_resume() const
    {
        if (m_state->failure)
            std::rethrow_exception(m_state->failure);
    }

private:
    struct State
    {
        std::function<void()> work;
        std::exception_ptr failure;
    };

    static void run(State& state)
    {
        try {
            state.work();
        } catch (...) {
            state.failure = std::current_exception();
        }
        state.work = {};
    }

    AsideRunner* m_runner;
    std::shared_ptr<State> m_state;
};

} // namespace palletry

#endif // Q_MOC_RUN
