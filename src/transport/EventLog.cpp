#include "transport/EventLog.h"

#include "core/ErrorRecord.h"

#include <QDateTime>
#include <QFile>

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

} // namespace palletry
