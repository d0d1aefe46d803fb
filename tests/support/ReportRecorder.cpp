#include "ReportRecorder.h"

#include "control/Palletry_p.h"
#include "transport/ErrorReport.h"

#include <QApplication>
#include <QFile>

namespace palletry::test {

ReportRecorder::ReportRecorder(MessageBoxes& boxes, EventLog& log)
    : m_boxesOutlet(boxes)
    , m_log(log)
    , m_previousLogFile(log.file())
{
    m_log.setFile(m_dir.filePath(QStringLiteral("events.log")));
    m_boxesOutlet.setInterceptor([this](const MessageBoxRequest& request) {
        m_boxes.push_back({request, QApplication::overrideCursor() != nullptr});
        return m_answer;
    });
}

ReportRecorder::ReportRecorder(Palletry& control)
    : ReportRecorder(Palletry::Private::get(&control)->messageBoxes, Palletry::Private::get(&control)->eventLog)
{
}

ReportRecorder::~ReportRecorder()
{
    m_boxesOutlet.setInterceptor({});
    m_log.setFile(m_previousLogFile);
}

int ReportRecorder::errorReportCount() const
{
    int count = 0;
    for (const Box& box : m_boxes)
        if (box.request.prompt == ErrorReport::prompt())
            ++count;
    return count;
}

QVector<EventLogEntry> ReportRecorder::logEntries() const
{
    return EventLog::readFile(m_log.file());
}

QStringList ReportRecorder::logTexts() const
{
    QStringList texts;
    for (const EventLogEntry& entry : logEntries())
        texts << entry.text;
    return texts;
}

void ReportRecorder::clear()
{
    m_boxes.clear();
    QFile::remove(m_log.file());
}

} // namespace palletry::test
