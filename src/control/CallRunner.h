#pragma once

#include "transport/TransferRunner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace palletry {

class CallProgress;

/**
 * Runs each call's transfer on a worker thread while the user-interface
 * thread goes on with its events, so the host's windows repaint and its timers
 * run. Meanwhile the control takes no input (the Cancel button aside), so no
 * handler of the clerk's starts inside another; a transfer asked for while one
 * is in flight is refused. After about half a second the progress panel shows
 * what is awaited; Cancel (or Escape) ends the transfer as cancelled.
 */
class CallRunner : public QObject, public TransferRunner
{
    Q_OBJECT

public:
    CallRunner(QWidget* control, CallProgress& progress);
    ~CallRunner() override;

    void run(const Transfer& transfer) override;

    /// True while a transfer is in flight.
    bool busy() const { return m_current != nullptr; }

    /// How long a call runs before the progress panel shows.
    static constexpr int ProgressDelayMs = 500;

    /// What the clerk reads while @p operation is awaited, e.g. "Reading the vendors…".
    static QString waitingFor(const QString& operation);

signals:
    /// A transfer has ended and the control takes input again.
    void transferEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showProgress();
    void cancel();
    bool insideControl(QObject* object) const;

    QWidget* m_control;
    CallProgress& m_progress;
    const Transfer* m_current = nullptr;
    bool m_cancelAsked = false;
    QElapsedTimer m_elapsed;
    QTimer m_tick;
};

} // namespace palletry
