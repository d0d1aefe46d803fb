#include "transport/EventLog.h"

#include "core/ErrorRecord.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstdio>
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

// Characters a terminal or a viewer acts on rather than shows: C0 controls but tab and the
// line feed (and a carriage return before one), DEL, C1 controls (0x9b is a CSI on some
// terminals) and the bidirectional embeddings, overrides and isolates, which reorder what
// a reader sees. A server's fault string could otherwise erase or rewrite the lines on
// the screen of whoever reads the log with cat.
bool actedOn(const QString& text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    if (c == '\t' || c == '\n')
        return false;
    if (c == '\r')
        return i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n');
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069)
        || c == 0x200e || c == 0x200f || c == 0x061c;
}

} // namespace

QString visibleControls(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!actedOn(text, i))
            out += QChar(c);
        else if (c < 0x100)
            out += QStringLiteral("\\x%1").arg(unsigned(c), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0'));
    }
    return out;
}

namespace {

// Each line break followed by the indent: no line of an entry starts where a header, or
// in a line-based system log file a record of its own, would.
QString indentedAfterBreaks(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (const QChar c : text) {
        out += c;
        if (c == QLatin1Char('\n') || c == QChar(0x2028) || c == QChar(0x2029))
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
    const QString shown = indentedAfterBreaks(visibleControls(text));
    if (m_path.isEmpty() && writeSyslog(shown.toUtf8(), type))
        return;
    const QByteArray utf8 = (QString(Indent) + shown).toUtf8();
    const QByteArray entry = QByteArray("=== ") + ProjectName + ' ' + typeName(type) + ' '
        + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + ' ' + QByteArray::number(utf8.size())
        + " ===\n" + utf8 + '\n';
    if (!m_path.isEmpty()) {
        QFile file(m_path);
        if (file.open(QIODevice::Append) && file.write(entry) == entry.size() && file.flush())
            return;
    }
    // No system log (a container has no /dev/log) and no file to write: the entry goes to
    // standard error rather than nowhere, while the box tells the clerk to check the logs.
    std::fwrite(entry.constData(), 1, std::size_t(entry.size()), stderr);
    std::fflush(stderr);
}

bool EventLog::writeSyslog(const QByteArray& utf8, EventType type) const
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
        return false;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));

    for (const int kind : {SOCK_DGRAM, SOCK_STREAM}) {
        const int sock = ::socket(AF_UNIX, kind | SOCK_CLOEXEC, 0);
        if (sock < 0)
            return false;
        if (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            if (kind == SOCK_STREAM)
                message += '\0'; // a stream socket's messages end with a NUL
            const bool sent = ::send(sock, message.constData(), std::size_t(message.size()), MSG_NOSIGNAL) >= 0;
            ::close(sock);
            return sent;
        }
        const int error = errno;
        ::close(sock);
        if (error != EPROTOTYPE)
            return false; // no system log to write to
    }
    return false;
}

} // namespace palletry
