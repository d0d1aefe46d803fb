#pragma once

#include <QString>

namespace palletry {

enum class EventType { Information, Warning, Error };

/**
 * @p text with the characters a terminal or a text layout acts on rather than shows
 * written visibly ("\x1b", "\u202e"): C0 controls but tab and the line feed (and a
 * carriage return before one), DEL, C1 controls and the bidirectional marks,
 * embeddings, overrides and isolates (U+200E, U+200F, U+061C, U+202A–U+202E,
 * U+2066–U+2069).
 */
QString visibleControls(const QString& text);

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
 *
 * When the system log cannot be reached (no socket, as in most containers) or
 * the file cannot be written, each entry goes to standard error instead, in the
 * file's form: a report is never lost silently.
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
    /// False when the system log could not be reached.
    bool writeSyslog(const QByteArray& utf8, EventType type) const;

    QString m_path;
    QString m_syslogSocket = QStringLiteral("/dev/log");
};

} // namespace palletry
