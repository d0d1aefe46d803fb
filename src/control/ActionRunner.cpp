#include "control/ActionRunner.h"

#include "screen/CallProgress.h"
#include "transport/HttpExchange.h"
#include "transport/MessageBoxes.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPushButton>
#include <QThreadPool>

namespace palletry {

ActionRunner::ActionRunner(QWidget* control, CallProgress& progress, MessageBoxes& outlet)
    : m_control(control)
    , m_progress(progress)
    , m_outlet(outlet)
{
    m_tick.setInterval(ProgressDelayMs);
    connect(&m_tick, &QTimer::timeout, this, &ActionRunner::showProgress);
    connect(&m_progress, &CallProgress::cancelClicked, this, &ActionRunner::cancel);
    // What arises between actions (a host's call, a refused value) is presented on its own.
    m_outlet.setWake([this] {
        if (busy() || m_idlePresentPosted)
            return;
        m_idlePresentPosted = true;
        QMetaObject::invokeMethod(this, &ActionRunner::presentWhileIdle, Qt::QueuedConnection);
    });
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ActionRunner::abandon);
}

ActionRunner::~ActionRunner()
{
    m_outlet.setWake({});
    abandon();
}

QString ActionRunner::waitingFor(const QString& operation)
{
    static const struct
    {
        const char* operation;
        const char* words;
    } texts[] = {
        {"GetVendorIncomingLoad", QT_TR_NOOP("Reading the load…")},
        {"GetVendorDataVendorMaster", QT_TR_NOOP("Reading the vendors…")},
        {"GetVendorHomeDeliverly", QT_TR_NOOP("Reading the orders on the load…")},
        {"GetVendorOrdersAndCentersOnly", QT_TR_NOOP("Reading the vendor's orders…")},
        {"GetOrderDetails", QT_TR_NOOP("Reading the order's line items…")},
        {"GetVendorDetailsByOrderID", QT_TR_NOOP("Reading the order's details…")},
        {"AddPO", QT_TR_NOOP("Placing the order on the load…")},
        {"AddPODetails", QT_TR_NOOP("Saving the line item…")},
        {"DeletePO", QT_TR_NOOP("Removing the order from the load…")},
    };
    for (const auto& text : texts)
        if (operation == QLatin1String(text.operation))
            return tr(text.words);
    return tr("Waiting for the service…");
}

quint64 ActionRunner::start(Task<void> action, std::function<void()> ended)
{
    if (busy())
        return 0;
    m_action.emplace(std::move(action));
    m_ended = std::move(ended);
    m_cancelAsked = false;
    const quint64 id = ++m_id;
    qApp->installEventFilter(this);
    m_outlet.announce([this] { emit busyChanged(true); });
    resume(m_action->handle());
    return id;
}

void ActionRunner::resume(std::coroutine_handle<> step)
{
    m_inside = true;
    step.resume();
    m_inside = false;
    if (m_action && m_action->done())
        post(&ActionRunner::finish);
}

void ActionRunner::post(void (ActionRunner::*step)())
{
    const quint64 id = m_id;
    QMetaObject::invokeMethod(
        this,
        [this, id, step] {
            if (running(id))
                (this->*step)();
        },
        Qt::QueuedConnection);
}

void ActionRunner::present(void (ActionRunner::*then)())
{
    if (m_outlet.pending() && !m_outlet.presenting()) {
        const quint64 id = m_id;
        m_outlet.present([this, id, then] {
            if (running(id))
                (this->*then)();
        });
        return;
    }
    (this->*then)();
}

void ActionRunner::run(Transfer transfer, std::coroutine_handle<> waiting)
{
    m_transfer = std::move(transfer);
    m_waiting = waiting;
    // Never inside the step that asked: what it queued for the clerk comes first.
    post(&ActionRunner::presentThenBegin);
}

void ActionRunner::runAside(std::function<void()> work, std::function<void()> ended)
{
    // The worker holds no pointer it may follow: it posts its end to the application,
    // and the runner, if it is still there, goes on if the action is still the same.
    QPointer<ActionRunner> self(this);
    const quint64 id = m_id;
    QThreadPool::globalInstance()->start(
        [work = std::move(work), ended = std::move(ended), self = std::move(self), id]() mutable {
            work();
            work = {};
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(
                    app,
                    [ended = std::move(ended), self = std::move(self), id] {
                        if (self && self->running(id))
                            ended();
                    },
                    Qt::QueuedConnection);
        });
}

namespace {

/// One thread at the lowest priority there is: what it runs takes a core only when nothing else wants it.
struct IdlePool : QThreadPool
{
    IdlePool()
    {
        setMaxThreadCount(1);
        setThreadPriority(QThread::IdlePriority);
    }
};

Q_GLOBAL_STATIC(IdlePool, idlePool)

} // namespace

void ActionRunner::runWhenIdle(std::function<void()> work)
{
    // Waits for nothing of the control: the pool ends its work at exit on its own.
    if (IdlePool* pool = idlePool())
        pool->start(std::move(work));
    else
        work();
}

void ActionRunner::presentThenBegin()
{
    present(&ActionRunner::beginTransfer);
}

void ActionRunner::beginTransfer()
{
    HttpExchange* http = std::exchange(m_transfer.http, nullptr);
    if (!http || !m_waiting)
        return;
    if (m_cancelAsked) {
        // Asked for between two transfers: this one is not sent.
        m_cancelAsked = false;
        http->cancel();
        transferDone();
        return;
    }
    const bool started = http->begin(m_multi, m_transfer.url, m_transfer.soapAction, std::move(m_transfer.body),
                                     [this] { post(&ActionRunner::transferDone); });
    if (!started) {
        // Reported by the call as a failed transfer; the action goes on as after any failure.
        transferDone();
        return;
    }
    m_inFlight = http;
    m_elapsed.start();
    m_tick.start();
}

void ActionRunner::transferDone()
{
    m_inFlight = nullptr;
    m_tick.stop();
    m_progress.hide();
    if (std::coroutine_handle<> waiting = std::exchange(m_waiting, {}))
        resume(waiting);
}

void ActionRunner::finish()
{
    if (m_outlet.pending() && !m_outlet.presenting()) {
        present(&ActionRunner::finish);
        return;
    }
    try {
        m_action->result();
    } catch (...) {
        // Every action traps its own failures; one that escapes is a fault of ours, not the clerk's.
        qWarning("palletry: an action ended with an untrapped failure");
    }
    m_action.reset();
    qApp->removeEventFilter(this);
    m_tick.stop();
    m_progress.hide();
    const quint64 id = m_id;
    const std::function<void()> ended = std::exchange(m_ended, {});
    // The host may delete the control, or start the next action, from any of these.
    QPointer<ActionRunner> alive(this);
    emit busyChanged(false);
    if (!alive)
        return;
    if (ended) {
        ended();
        if (!alive)
            return;
    }
    emit actionEnded(id);
}

void ActionRunner::presentWhileIdle()
{
    m_idlePresentPosted = false;
    if (!busy() && m_outlet.pending() && !m_outlet.presenting())
        m_outlet.present({});
}

bool ActionRunner::waitFor(quint64 id)
{
    if (!running(id))
        return true;
    QPointer<ActionRunner> alive(this);
    QEventLoop loop;
    connect(this, &ActionRunner::actionEnded, &loop, [&loop, id](quint64 ended) {
        if (ended == id)
            loop.quit();
    });
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    if (!alive)
        return false;
    // Left for another reason than the action's end: the application is quitting.
    if (running(id))
        abandon();
    return true;
}

void ActionRunner::abandon()
{
    if (!m_action)
        return;
    m_waiting = {};
    m_inFlight = nullptr;
    m_transfer = {};
    m_ended = {};
    // Its frames go, and with them its transfers: nothing more is sent.
    m_action.reset();
    qApp->removeEventFilter(this);
    m_tick.stop();
    m_progress.hide();
}

void ActionRunner::cancel()
{
    if (!busy())
        return;
    if (m_inFlight && m_inFlight->running()) {
        m_progress.showCancelling();
        std::exchange(m_inFlight, nullptr)->cancel();
        return;
    }
    // Between two steps (an answer in but not yet taken up, a box): the next call is not sent.
    m_cancelAsked = true;
}

void ActionRunner::showProgress()
{
    if (!m_inFlight)
        return;
    m_progress.showWaiting(waitingFor(m_transfer.operation), m_elapsed.elapsed() / 1000);
}

bool ActionRunner::insideControl(QObject* object) const
{
    // Widgets of the control's own window only: a message box it opens is a window of its own.
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && (widget == m_control || m_control->isAncestorOf(widget));
}

bool ActionRunner::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return false;
    }
    if (!insideControl(watched))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancel();
        return true;
    }
    // The panel's Cancel button is the one thing the clerk can use meanwhile.
    return watched != m_progress.cmdCancelCall;
}

} // namespace palletry
