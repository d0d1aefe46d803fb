#include "control/CallRunner.h"

#include "core/RuntimeError.h"
#include "screen/CallProgress.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QThread>

#include <exception>
#include <thread>

namespace palletry {

CallRunner::CallRunner(QWidget* control, CallProgress& progress)
    : m_control(control)
    , m_progress(progress)
{
    m_tick.setInterval(ProgressDelayMs);
    connect(&m_tick, &QTimer::timeout, this, &CallRunner::showProgress);
    connect(&m_progress, &CallProgress::cancelClicked, this, &CallRunner::cancel);
}

CallRunner::~CallRunner() = default;

QString CallRunner::waitingFor(const QString& operation)
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

void CallRunner::run(const Transfer& transfer)
{
    if (m_current)
        throw RuntimeError(RuntimeErrorCode::TemporarilyLocked,
                           QStringLiteral("A call of %1 is in flight: the call of %2 was not made")
                               .arg(m_current->operation, transfer.operation));
    // Without a user-interface thread to keep alive, the caller's thread simply waits.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || QThread::currentThread() != thread()) {
        transfer.run();
        return;
    }

    m_current = &transfer;
    m_cancelAsked = false;
    m_elapsed.start();
    m_tick.start();
    qApp->installEventFilter(this);

    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            transfer.run();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();

    qApp->removeEventFilter(this);
    m_tick.stop();
    m_progress.hide();
    m_current = nullptr;
    emit transferEnded();
    if (failure)
        std::rethrow_exception(failure);
}

void CallRunner::showProgress()
{
    if (!m_current)
        return;
    if (m_cancelAsked)
        m_progress.showCancelling();
    else
        m_progress.showWaiting(waitingFor(m_current->operation), m_elapsed.elapsed() / 1000);
}

void CallRunner::cancel()
{
    if (!m_current || m_cancelAsked)
        return;
    m_cancelAsked = true;
    m_current->cancel();
    m_progress.showCancelling();
}

bool CallRunner::insideControl(QObject* object) const
{
    // Widgets of the control's own window only: a message box it opens is a window of its own.
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && (widget == m_control || m_control->isAncestorOf(widget));
}

bool CallRunner::eventFilter(QObject* watched, QEvent* event)
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
