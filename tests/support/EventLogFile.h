#pragma once

#include "transport/EventLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QVector>

namespace palletry::test {

struct EventLogEntry
{
    EventType type = EventType::Information;
    QString text;
};

// The entries of an event-log file EventLog::write() wrote, the indent it puts after each line end removed.
inline QVector<EventLogEntry> readEventLogFile(const QString& path)
{
    static const QRegularExpression header(QStringLiteral("^=== prjPalletry (Information|Warning|Error) \\S+ (\\d+) ===$"));
    static const QRegularExpression indent(QStringLiteral("(^|[\\n\\x{2028}\\x{2029}])  "));
    QVector<EventLogEntry> entries;
    QFile file(path);
    const QByteArray all = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    for (qsizetype pos = 0, eol; pos < all.size() && (eol = all.indexOf('\n', pos)) >= 0;) {
        const auto match = header.match(QString::fromLatin1(all.mid(pos, eol - pos)));
        if (!match.hasMatch())
            break;
        const qsizetype size = match.captured(2).toLongLong();
        const QString type = match.captured(1);
        const EventType kind = type == QLatin1String("Warning") ? EventType::Warning
            : type == QLatin1String("Error")                    ? EventType::Error
                                                                : EventType::Information;
        entries.push_back({kind, QString::fromUtf8(all.mid(eol + 1, size)).replace(indent, QStringLiteral("\\1"))});
        pos = eol + 1 + size + 1;
    }
    return entries;
}

} // namespace palletry::test
