#pragma once

#include <QString>

namespace palletry {

enum class EventType { Information, Warning, Error };

/**
 * The control's one outlet to the system: the application event log.
 *
 * Entries go to syslog unless a file is chosen, by setFile() or by the
 * environment variable PALLETRY_EVENT_LOG=PATH read at construction. A syslog
 * entry is one message with the tag "prjPalletry[<pid>]" sent to the system
 * log socket itself: openlog()/closelog() would reset the identity the host
 * application chose for its own messages.
 *
 * In a file each entry is preceded by a header line
 *   "=== prjPalletry <Information|Warning|Error> <UTC time> <bytes> ==="
 * and followed by one line feed. Every line of the entry is indented by two
 * spaces (<bytes> counts them), so that no text an entry holds, such as a fault
 * string from the network, can pass for a header line; in syslog every line
 * after the first is. In both, control characters other than tab and line
 * breaks (line feed, carriage return before one), DEL, C1 controls and the
 * bidirectional overrides are written as "\x1b" or "\u202e": a terminal
 * showing the log shows them and does not act on them.
 */
class EventLog
{
public:
    EventLog();

    void setFile(const QString& path);
    QString file() const { return m_path; }

    /// Writes one entry. A log that cannot be written is not an error of the control.
    void write(const QString& text, EventType type);

    /// The system log socket (/dev/log unless set; a test points it elsewhere).
    void setSyslogSocket(const QString& path) { m_syslogSocket = path; }

private:
    void writeSyslog(const QByteArray& utf8, EventType type) const;

    QString m_path;
    QString m_syslogSocket = QStringLiteral("/dev/log");
};

} // namespace palletry
