#pragma once

#include "control/Palletry_p.h"
#include "transport/ErrorReport.h"
#include "EventLogFile.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"

#include <QApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>

namespace palletry::test {

// Catches what the control tells the clerk and the event log: intercepts the message boxes
// (each answered Ok) and points the event log at a file in a private temporary folder.
// Everything is put back when the recorder goes.
class ReportRecorder
{
public:
    struct Box
    {
        MessageBoxRequest request;
        bool busyCursor = false; ///< an override cursor was still set while it showed
    };
    ReportRecorder(MessageBoxes& boxes, EventLog& log)
        : m_boxesOutlet(boxes)
        , m_log(log)
        , m_previousLogFile(log.file())
    {
        m_log.setFile(m_dir.filePath(QStringLiteral("events.log")));
        m_boxesOutlet.setInterceptor([this](const MessageBoxRequest& request) {
            m_boxes.push_back({request, QApplication::overrideCursor() != nullptr});
            return QMessageBox::Ok;
        });
    }
    explicit ReportRecorder(Palletry& control)
        : ReportRecorder(Palletry::Private::get(&control)->messageBoxes, Palletry::Private::get(&control)->eventLog)
    {
    }
    ~ReportRecorder()
    {
        m_boxesOutlet.setInterceptor({});
        m_log.setFile(m_previousLogFile);
    }
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;
    const QVector<Box>& boxes() const { return m_boxes; }
    int errorReportCount() const
    {
        return int(std::count_if(m_boxes.begin(), m_boxes.end(),
                                 [](const Box& box) { return box.request.prompt == ErrorReport::prompt(); }));
    }
    QStringList logTexts() const
    {
        QStringList texts;
        for (const EventLogEntry& entry : readEventLogFile(m_log.file()))
            texts << entry.text;
        return texts;
    }
    void clear()
    {
        m_boxes.clear();
        QFile::remove(m_log.file());
    }

private:
    MessageBoxes& m_boxesOutlet;
    EventLog& m_log;
    QString m_previousLogFile;
    QTemporaryDir m_dir;
    QVector<Box> m_boxes;
};

} // namespace palletry::test
