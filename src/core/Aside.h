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
     * Runs @p work away from the calling thread and returns at once; @p ended runs on
     * the event loop once the work has ended, never inside this call. When the
     * action is dropped meanwhile, @p work still ends, on its own thread, and @p ended
     * does not run: both must hold everything they use (shared_ptr), nothing of the
     * action's frame or of the control.
     */
    virtual void runAside(std::function<void()> work, std::function<void()> ended) = 0;

    /// Goes on with the action's step @p waiting, which awaited work aside (from an @p ended).
    virtual void resumeAction(std::coroutine_handle<> waiting) = 0;

    /**
     * Runs @p work, which nothing waits for (letting go of a large list), away from the
     * calling thread and only while a core is otherwise idle, so that the action's calls
     * and the screen go first. It must hold everything it uses.
     */
    virtual void runWhenIdle(std::function<void()> work) { runAside(std::move(work), [] {}); }
};

/// @p work run by @p runner when a core is idle, or at once when there is no runner.
inline void runWhenIdle(AsideRunner* runner, std::function<void()> work)
{
    if (runner)
        runner->runWhenIdle(std::move(work));
    else
        work();
}

/**
 * Work run by @p runner, or at once when there is no runner (the lower layers'
 * tests, a control whose calls block). It starts with start(), or when first
 * awaited; awaiting it waits for its end. A failure in the work is rethrown where
 * the action awaits it. Name it in a local and co_await the local.
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

    /// Starts the work, so that the action can go on with something else meanwhile.
    void start()
    {
        if (m_state->started)
            return;
        m_state->started = true;
        if (!m_runner) {
            run(*m_state);
            m_state->finished = true;
            return;
        }
        // The worker keeps the state alive on its own: the action may be gone when it ends.
        m_runner->runAside([state = m_state] { run(*state); },
                           [state = m_state, runner = m_runner] {
                               state->finished = true;
                               if (std::coroutine_handle<> waiting = std::exchange(state->waiting, {}))
                                   runner->resumeAction(waiting);
                           });
    }

    bool await_ready()
    {
        start();
        return m_state->finished;
    }

    void await_suspend(std::coroutine_handle<> waiting) { m_state->waiting = waiting; }

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
        // Read and written on the action's thread only.
        bool started = false;
        bool finished = false;
        std::coroutine_handle<> waiting;
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
