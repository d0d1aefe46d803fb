#pragma once

#include "transport/EventLog.h"

#include <QString>
#include <QVector>

namespace palletry::test {

/// One entry as read back from an event-log file.
struct EventLogEntry
{
    EventType type = EventType::Information;
    QString text;
};

/// The entries of an event-log file EventLog::write() wrote, their indentation removed.
QVector<EventLogEntry> readEventLogFile(const QString& path);

} // namespace palletry::test
