#pragma once

#include "core/Task.h"
#include "transport/HttpMulti.h"
#include "transport/TransferRunner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

class QWidget;

namespace palletry {

class CallProgress;
class MessageBoxes;

/**
 * The one place that runs the clerk's and the host's actions, and owns their
 * rules:
 *
 * - One at a time. An action runs from its first step to its last, the boxes
 *   it shows included; meanwhile the control takes no input but the progress
 *   panel's Cancel (and Escape), and start() refuses another.
 * - On the event loop. An action is a task; each transfer it waits for runs on
 *   libcurl's multi interface and resumes it from the event loop once ended.
 *   What it tells the clerk and the host is queued in the message outlet and
 *   presented before its next transfer and at its end, from the event loop with
 *   none of the action's frames on the stack, so a host's slot may do anything,
 *   deleting the control included.
 * - Work on a reply that touches no widget (reading a large answer) runs on a
 *   worker thread meanwhile; the action goes on from the event loop after it.
 * - Cancel ends the transfer in flight at once as cancelled (or, between
 *   transfers, the next one before it is sent).
 * - Destroyed, or abandoned when the application quits, it drops the action
 *   where it stands: its transfers are taken off the wire, nothing more is sent
 *   and nobody is told.
 * - The end: once everything queued was presented, busy turns false and then
 *   the action's own end (loadOpened, loadChanged) is told, so that a host may
 *   start the next action from there.
 */
class ActionRunner : public QObject, public TransferRunner
{
    Q_OBJECT

public:
    ActionRunner(QWidget* control, CallProgress& progress, MessageBoxes& outlet);
    ~ActionRunner() override;

    /// True from an action's start until its end has been told.
    bool busy() const { return m_action.has_value(); }

    /**
     * Starts @p action and returns at once, after its steps up to its first wait;
     * @p ended runs at its end, after busy turned false. Returns 0, running
     * nothing, while another action is under way; else the action's number.
     */
    quint64 start(Task<void> action, std::function<void()> ended = {});

    /// True while the action numbered @p id is under way.
    bool running(quint64 id) const { return busy() && m_id == id; }

    /**
     * Waits on a local event loop until the action numbered @p id has ended: the
     * one wait the blocking members keep for the hosts written against them.
     * Returns false when the control went away meanwhile (nothing of it may then
     * be touched); an application that quits meanwhile abandons the action.
     */
    bool waitFor(quint64 id);

    /// Drops the action under way where it stands (see the class).
    void abandon();

    /// True while the running action's own steps execute (a widget signal raised by them).
    bool insideAction() const { return m_inside; }

    void run(Transfer transfer, std::coroutine_handle<> waiting) override;
    void runAside(std::function<void()> work, std::function<void()> ended) override;
    void resumeAction(std::coroutine_handle<> waiting) override { resume(waiting); }
    void runWhenIdle(std::function<void()> work) override;

    /// What the clerk reads while @p operation is awaited, e.g. "Reading the vendors…".
    static QString waitingFor(const QString& operation);
    /// How long a call runs before the progress panel shows.
    static constexpr int ProgressDelayMs = 500;

signals:
    void busyChanged(bool busy);
    /// The action numbered @p id has ended and its end has been told.
    void actionEnded(quint64 id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resume(std::coroutine_handle<> step);
    void presentThenBegin();
    void beginTransfer();
    void transferDone();
    void finish();
    /// Presents what the outlet holds, then goes on with @p then (at once when nothing waits).
    void present(void (ActionRunner::*then)());
    /// Runs @p step from the event loop, unless the action numbered now has ended by then.
    void post(void (ActionRunner::*step)());
    void cancel();
    void showProgress();
    bool insideControl(QObject* object) const;
    void presentWhileIdle();

    QWidget* m_control;
    CallProgress& m_progress;
    MessageBoxes& m_outlet;
    HttpMulti m_multi; // outlives the action's transfers
    std::optional<Task<void>> m_action;
    std::function<void()> m_ended;
    quint64 m_id = 0;
    bool m_inside = false;
    bool m_cancelAsked = false;
    bool m_idlePresentPosted = false;
    Transfer m_transfer;
    std::coroutine_handle<> m_waiting;
    HttpExchange* m_inFlight = nullptr;
    QElapsedTimer m_elapsed;
    QTimer m_tick;
};

} // namespace palletry
