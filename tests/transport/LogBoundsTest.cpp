// What the network can do to the event log: nothing it sends passes for an
// entry's header line, and the system log keeps the host's identity.
#include "support/ServiceRig.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

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

TEST(LogBoundsTest, NetworkTextCannotForgeAnEntryHeader)
{
    ServiceRig rig;
    const std::string forged = "locked\n=== prjPalletry Error 2026-01-01T00:00:00Z 5 ===\nfake\r=== prjPalletry "
                               "Warning 2026-01-01T00:00:00Z 5 ===\r\n\u2028=== prjPalletry Error x 1 ===";
    rig.server.setReply(CannedReply::xml(soapFaultReply(forged), 500, "Internal Server Error"));
    rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.server.serverName(), QStringLiteral("a/b"), QString());
    rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.server.serverName(), QStringLiteral("a/b"), QString());
    rig.log.write(QStringLiteral("x\r=== prjPalletry Error 2026-01-01T00:00:00Z 1 ===\v=== f\f=== g\r"),
                  EventType::Error);
    // Read back as written, three entries...
    const QStringList texts = rig.recorder.logTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].contains(QLatin1String("locked\n=== prjPalletry Error 2026-01-01T00:00:00Z 5 ===\nfake")));
    EXPECT_EQ(texts[2], QStringLiteral("x\r=== prjPalletry Error 2026-01-01T00:00:00Z 1 ===\v=== f\f=== g\r"));
    // ...and to a person reading the file, only the three real headers start a line with "===".
    QFile file(rig.log.file());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString all = QString::fromUtf8(file.readAll());
    const QRegularExpression lineStart(QStringLiteral("(^|[\\n\\r\\v\\f\\x{85}\\x{2028}\\x{2029}])==="));
    EXPECT_EQ(all.count(lineStart), 3) << all.toStdString();
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
    log.write(QStringLiteral("\r\n\r\nError Number - 7"), EventType::Error);
    char buffer[4096];
    const ssize_t got = recv(sock, buffer, sizeof buffer, MSG_DONTWAIT);
    close(sock);
    ASSERT_GT(got, 0);
    const QString message = QString::fromUtf8(buffer, got);
    const QRegularExpression shape(QStringLiteral("^<11>\\w{3} [ \\d]\\d \\d\\d:\\d\\d:\\d\\d prjPalletry\\[%1\\]: "
                                                  "\\r\\n\\r\\nError Number - 7$")
                                       .arg(getpid()));
    EXPECT_TRUE(shape.match(message).hasMatch()) << message.toStdString();
    EXPECT_EQ(identityResets, 0);
}
