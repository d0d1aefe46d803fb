#pragma once

#include <QString>
#include <QVector>

namespace palletry {

enum class EventType { Information, Warning, Error };

/// One entry as read back from an event-log file.
struct EventLogEntry
{
    EventType type = EventType::Information;
    QString text;
};

/**
 * The control's one outlet to the system: the application event log.
 *
 * Entries go to syslog (ident "prjPalletry") unless a file is chosen, by
 * setFile() or by the environment variable PALLETRY_EVENT_LOG=PATH read at
 * construction. In a file each entry is preceded by a header line
 *   "=== prjPalletry <Information|Warning|Error> <UTC time> <bytes> ==="
 * and followed by one line feed, so entries holding any text read back exactly.
 */
class EventLog
{
public:
    EventLog();

    void setFile(const QString& path);
    QString file() const { return m_path; }

    /// Writes one entry. A log that cannot be written is not an error of the control.
    void write(const QString& text, EventType type);

    /// Reads the entries of an event-log file written by write().
    static QVector<EventLogEntry> readFile(const QString& path);

private:
    QString m_path;
};

} // namespace palletry
