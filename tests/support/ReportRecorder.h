#pragma once

#include "control/Palletry_p.h"
#include "transport/ErrorReport.h"
#include "EventLogFile.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>

namespace palletry::test {
/**
 * Waits, as a host would, until no control is busy and everything each one
 * queued for the clerk and the host has been handed out: the end of whatever
 * the last click or key started.
 */
inline void settle()
{
    const bool idle = QTest::qWaitFor(
        [] {
            for (QWidget* widget : QApplication::allWidgets()) {
                auto* control = qobject_cast<Palletry*>(widget);
                if (!control)
                    continue;
                const MessageBoxes& outlet = Palletry::Private::get(control)->messageBoxes;
                if (control->busy() || outlet.pending() || outlet.presenting())
                    return false;
            }
            return true;
        },
        60000);
    EXPECT_TRUE(idle) << "a control stayed busy";
}


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
        m_control = &control;
    }
    ~ReportRecorder()
    {
        m_boxesOutlet.setInterceptor({});
        m_log.setFile(m_previousLogFile);
    }
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;
    /// What the control presented once it had presented all it queued.
    const QVector<Box>& boxes() const
    {
        if (m_control)
            settle();
        return m_boxes;
    }
    /// What was presented up to now (from a slot on the control's own signals: no waiting there).
    const QVector<Box>& boxesSoFar() const { return m_boxes; }
    int errorReportCount() const
    {
        const QVector<Box>& m_boxes = boxes();
        return int(std::count_if(m_boxes.begin(), m_boxes.end(),
                                 [](const Box& box) { return box.request.prompt == ErrorReport::prompt(); }));
    }
    QStringList logTexts() const
    {
        if (m_control)
            settle();
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
    QPointer<Palletry> m_control;
};

} // namespace palletry::test
