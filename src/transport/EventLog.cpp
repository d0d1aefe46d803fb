#include "transport/EventLog.h"

#include "core/ErrorRecord.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

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

const QLatin1String Indent("  ");

// A character after which a text viewer may start a new line.
bool endsLine(const QString& text, qsizetype i)
{
    switch (text.at(i).unicode()) {
    case '\n':
    case '\v':
    case '\f':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    case '\r':
        return i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n');
    default:
        return false;
    }
}

QString indented(const QString& text)
{
    QString out = Indent;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text.at(i);
        if (endsLine(text, i))
            out += Indent;
    }
    return out;
}

QString unindented(const QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = text.startsWith(Indent) ? Indent.size() : 0;
    for (; i < text.size(); ++i) {
        out += text.at(i);
        if (endsLine(text, i) && text.mid(i + 1, Indent.size()) == Indent)
            i += Indent.size();
    }
    return out;
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
    if (m_path.isEmpty()) {
        writeSyslog(text.toUtf8(), type);
        return;
    }
    const QByteArray utf8 = indented(text).toUtf8();
    QFile file(m_path);
    if (!file.open(QIODevice::Append))
        return;
    const QByteArray header = QByteArray("=== ") + ProjectName + ' ' + typeName(type) + ' '
        + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + ' '
        + QByteArray::number(utf8.size()) + " ===\n";
    file.write(header + utf8 + '\n');
}

void EventLog::writeSyslog(const QByteArray& utf8, EventType type) const
{
    // "<PRI>Mmm dd hh:mm:ss TAG[PID]: MESSAGE", as syslog(3) writes it.
    char stamp[32] = {0};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local))
        std::strftime(stamp, sizeof stamp, "%h %e %T ", &local);
    QByteArray message = '<' + QByteArray::number(LOG_USER | syslogPriority(type)) + '>' + stamp + ProjectName
        + '[' + QByteArray::number(qint64(getpid())) + "]: " + utf8;

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = m_syslogSocket.toLocal8Bit();
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));

    for (const int kind : {SOCK_DGRAM, SOCK_STREAM}) {
        const int sock = ::socket(AF_UNIX, kind | SOCK_CLOEXEC, 0);
        if (sock < 0)
            return;
        if (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            if (kind == SOCK_STREAM)
                message += '\0'; // a stream socket's messages end with a NUL
            ::send(sock, message.constData(), std::size_t(message.size()), MSG_NOSIGNAL);
            ::close(sock);
            return;
        }
        const int error = errno;
        ::close(sock);
        if (error != EPROTOTYPE)
            return; // no system log to write to: not an error of the control
    }
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
        entry.text = unindented(QString::fromUtf8(all.mid(eol + 1, size)));
        entries.push_back(entry);
        pos = eol + 1 + size + 1;
    }
    return entries;
}

} // namespace palletry
