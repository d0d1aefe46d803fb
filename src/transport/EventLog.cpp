#include "transport/EventLog.h"

#include "core/ErrorRecord.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <syslog.h>

namespace palletry {
namespace {

const char* typeName(EventType type)
{
    switch (type) {
    case EventType::Warning:
        return "Warning";
    case EventType::Error:
        return "Error";
    case EventType::Information:
        break;
    }
    return "Information";
}

int syslogPriority(EventType type)
{
    switch (type) {
    case EventType::Warning:
        return LOG_WARNING;
    case EventType::Error:
        return LOG_ERR;
    case EventType::Information:
        break;
    }
    return LOG_INFO;
}

} // namespace

EventLog::EventLog()
    : m_path(qEnvironmentVariable("PALLETRY_EVENT_LOG"))
{
}

void EventLog::setFile(const QString& path)
{
    m_path = path;
}

void EventLog::write(const QString& text, EventType type)
{
    const QByteArray utf8 = text.toUtf8();
    if (m_path.isEmpty()) {
        openlog(ProjectName, LOG_PID, LOG_USER);
        syslog(syslogPriority(type), "%s", utf8.constData());
        closelog();
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::Append))
        return;
    const QByteArray header = QByteArray("=== ") + ProjectName + ' ' + typeName(type) + ' '
        + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + ' '
        + QByteArray::number(utf8.size()) + " ===\n";
    file.write(header + utf8 + '\n');
}

QVector<EventLogEntry> EventLog::readFile(const QString& path)
{
    QVector<EventLogEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray all = file.readAll();
    static const QRegularExpression header(
        QStringLiteral("^=== prjPalletry (Information|Warning|Error) \\S+ (\\d+) ===$"));
    qsizetype pos = 0;
    while (pos < all.size()) {
        const qsizetype eol = all.indexOf('\n', pos);
        if (eol < 0)
            break;
        const auto match = header.match(QString::fromLatin1(all.mid(pos, eol - pos)));
        if (!match.hasMatch())
            break;
        const qsizetype size = match.captured(2).toLongLong();
        const QString type = match.captured(1);
        EventLogEntry entry;
        entry.type = type == QLatin1String("Warning") ? EventType::Warning
            : type == QLatin1String("Error")          ? EventType::Error
                                                      : EventType::Information;
        entry.text = QString::fromUtf8(all.mid(eol + 1, size));
        entries.push_back(entry);
        pos = eol + 1 + size + 1;
    }
    return entries;
}

} // namespace palletry
