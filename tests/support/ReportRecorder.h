#pragma once

#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

class Palletry;

namespace palletry::test {

/**
 * Catches what the control tells the clerk and the event log: installs an
 * interceptor on the message boxes (answering each with a chosen button) and
 * points the event log at a file in a private temporary folder. Everything is
 * put back when the recorder goes.
 */
class ReportRecorder
{
public:
    /// One message box as it would have been shown.
    struct Box
    {
        MessageBoxRequest request;
        bool busyCursor = false; ///< an override cursor was still set while it showed
    };

    ReportRecorder(MessageBoxes& boxes, EventLog& log);
    /// Records the outlets of @p control.
    explicit ReportRecorder(Palletry& control);
    ~ReportRecorder();

    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;

    /// The button every intercepted box returns (Ok unless set).
    void setAnswer(QMessageBox::StandardButton button) { m_answer = button; }

    const QVector<Box>& boxes() const { return m_boxes; }
    /// Boxes that were error reports (the fixed error prompt).
    int errorReportCount() const;

    /// Entries written to the event log since the recorder started (or clear()).
    QVector<EventLogEntry> logEntries() const;
    QStringList logTexts() const;

    /// Forgets the boxes and log entries so far.
    void clear();

private:
    MessageBoxes& m_boxesOutlet;
    EventLog& m_log;
    QString m_previousLogFile;
    QTemporaryDir m_dir;
    QVector<Box> m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
};

} // namespace palletry::test
