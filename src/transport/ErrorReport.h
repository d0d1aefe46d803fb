#pragma once

#include "core/Trap.h"

#include <QCoreApplication>

#include <functional>

namespace palletry {

class EventLog;
class MessageBoxes;

/**
 * ReportError: tells the clerk that something went wrong (one modal box) and
 * writes the details to the event log. Every trap of the control ends here.
 * The log entry is written at once; the host's signal and the box are queued
 * in the message outlet, in order with everything else it presents.
 */
class ErrorReport : public ErrorSink
{
    Q_DECLARE_TR_FUNCTIONS(ErrorReport)

public:
    ErrorReport(MessageBoxes& boxes, EventLog& log);

    void reportError(const ErrorRecord& error, const QString& label) override;

    /// The event-log text of one report.
    static QString logText(const ErrorRecord& error, const QString& label);
    /// What the log's source line names: the failing component, one space, the trapping procedure.
    static QString sourceText(const ErrorRecord& error, const QString& label);

    /// The prompt of the clerk's message box, in the clerk's language.
    static QString prompt();

    /// Told of every report just before the clerk sees it (the host's errorReported).
    using Observer = std::function<void(const ErrorRecord& error, const QString& label)>;
    void setObserver(Observer observer);

    /// Reports so far: a count that moves during an action tells that something in it failed.
    quint64 count() const { return m_count; }

private:
    MessageBoxes& m_boxes;
    EventLog& m_log;
    Observer m_observer;
    quint64 m_count = 0;
};

} // namespace palletry
