#pragma once

#include "core/Trap.h"

namespace palletry {

class EventLog;
class MessageBoxes;

/**
 * ReportError: tells the clerk that something went wrong (one modal box) and
 * writes the details to the event log. Every trap of the control ends here.
 */
class ErrorReport : public ErrorSink
{
public:
    ErrorReport(MessageBoxes& boxes, EventLog& log);

    void reportError(const ErrorRecord& error, const QString& label) override;

    /// The event-log text of one report.
    static QString logText(const ErrorRecord& error, const QString& label);

    /// The prompt of the clerk's message box.
    static QString prompt();

private:
    MessageBoxes& m_boxes;
    EventLog& m_log;
};

} // namespace palletry
