// What the network can do to the event log: nothing it sends passes for an
// entry's header line or acts on the terminal of whoever reads the log, and the
// system log keeps the host's identity.
#include "support/ServiceRig.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace palletry;
using namespace palletry::test;

static int identityResets = 0;

// The host's openlog() identity must survive the control's entries: count every reset.
extern "C" void openlog(const char*, int, int)
{
    ++identityResets;
}
extern "C" void closelog()
{
    ++identityResets;
}

TEST(LogBoundsTest, NetworkTextCannotForgeAnEntryHeaderNorDriveTheTerminal)
{
    ServiceRig rig;
    const std::string forged = "locked\n=== prjPalletry Error 2026-01-01T00:00:00Z 5 ===\nfake\r\n\u2028=== prjPalletry "
                               "Error x 1 ===\x1b[1A\x1b[2K\x1b]0;title\x07";
    rig.server.setReply(CannedReply::xml(soapFaultReply(forged), 500, "Internal Server Error"));
    runToEnd(rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.server.serverName(), QStringLiteral("a/b"), QString()));
    runToEnd(rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.server.serverName(), QStringLiteral("a/b"), QString()));
    // Read back as written, two entries...
    const QStringList texts = rig.recorder.logTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].contains(QLatin1String("locked\n=== prjPalletry Error 2026-01-01T00:00:00Z 5 ===\nfake")));
    // ...and to a person reading the file, only the two real headers start a line with "===".
    QFile file(rig.log.file());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString all = QString::fromUtf8(file.readAll());
    const QRegularExpression lineStart(QStringLiteral("(^|[\\n\\r\\v\\f\\x{85}\\x{2028}\\x{2029}])==="));
    EXPECT_EQ(all.count(lineStart), 2) << all.toStdString();
}

TEST(LogBoundsTest, ControlCharactersAreWrittenVisibly)
{
    struct Case
    {
        QString text;
        QString written; ///< as it stands in the file, between "  a" and "b"
    };
    const Case cases[] = {
        {QStringLiteral("\x1b[2J"), QStringLiteral("\\x1b[2J")},
        {QString(QChar(0)), QStringLiteral("\\x00")},
        {QStringLiteral("\a\b\v\f"), QStringLiteral("\\x07\\x08\\x0b\\x0c")},
        {QStringLiteral("\r"), QStringLiteral("\\x0d")},
        {QStringLiteral("\n\r"), QStringLiteral("\n  \\x0d")},
        {QStringLiteral("\x7f\u0085\u009b"), QStringLiteral("\\x7f\\x85\\x9b")},
        {QStringLiteral("\u202e\u2067"), QStringLiteral("\\u202e\\u2067")},
        {QStringLiteral("\r\n"), QStringLiteral("\r\n  ")},
        {QStringLiteral("\u2028"), QStringLiteral("\u2028  ")},
        {QStringLiteral("\\x1b\t\u00e9\u200f\u061c"), QStringLiteral("\\x1b\t\u00e9\\u200f\\u061c")},
    };
    QTemporaryDir dir;
    EventLog log;
    log.setFile(dir.filePath(QStringLiteral("events.log")));
    for (const Case& c : cases) {
        QFile::remove(log.file());
        log.write(QLatin1Char('a') + c.text + QLatin1Char('b'), EventType::Error);
        QFile file(log.file());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        EXPECT_EQ(QString::fromUtf8(all.mid(all.indexOf('\n') + 1)), QLatin1String("  a") + c.written + "b\n")
            << c.written.toStdString();
    }
}

TEST(LogBoundsTest, SyslogEntryCarriesTheControlsTagWithoutTouchingTheHostsIdentity)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("log.sock")).toLocal8Bit();
    const int sock = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EventLog log;
    log.setFile(QString());
    log.setSyslogSocket(QString::fromLocal8Bit(path));
    identityResets = 0;
    log.write(QStringLiteral("\r\n\r\nError Number - 7\x1b[2K"), EventType::Error);
    char buffer[4096];
    const ssize_t got = recv(sock, buffer, sizeof buffer, MSG_DONTWAIT);
    close(sock);
    ASSERT_GT(got, 0);
    const QString message = QString::fromUtf8(buffer, got);
    const QRegularExpression shape(QStringLiteral("^<11>\\w{3} [ \\d]\\d \\d\\d:\\d\\d:\\d\\d prjPalletry\\[%1\\]: "
                                                  "\\r\\n  \\r\\n  Error Number - 7\\\\x1b\\[2K$")
                                       .arg(getpid()));
    EXPECT_TRUE(shape.match(message).hasMatch()) << message.toStdString();
    EXPECT_EQ(identityResets, 0);
}

TEST(LogBoundsTest, WithNoSystemLogAReportGoesToStandardErrorOnce)
{
    QTemporaryDir dir;
    QFile captured(dir.filePath(QStringLiteral("stderr")));
    ASSERT_TRUE(captured.open(QIODevice::ReadWrite));
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(captured.handle(), STDERR_FILENO);
    EventLog log;
    log.setFile(QString());
    log.setSyslogSocket(dir.filePath(QStringLiteral("no.sock")));
    log.write(QStringLiteral("Error Number - 7\nsecond line"), EventType::Information);
    dup2(saved, STDERR_FILENO);
    close(saved);
    QFile written(captured.fileName());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    EXPECT_EQ(text.count(QStringLiteral("=== prjPalletry Information ")), 1) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" ===\n  Error Number - 7\n  second line\n"))) << text.toStdString();
}
