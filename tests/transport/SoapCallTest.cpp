#include "support/ServiceRig.h"

#include "ReplyTextSteps.h" // the reply edits as sequential steps

#include "soap/ServiceNamespace.h"
#include "soap/Unwrap.h"

#include <palletry/Palletry.h>

#include <curl/curl.h>

#include <chrono>
#include <thread>

using namespace palletry;
using namespace palletry::test;

namespace {

const QString action = QLatin1String(ServiceNamespace) + QLatin1String("/GetVendorIncomingLoad");

const QString envelope = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "  <soap:Body>    <GetVendorIncomingLoad xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\">"
    "      <IncomingLoadID>42</IncomingLoadID></GetVendorIncomingLoad>   </soap:Body> </soap:Envelope>");

const std::string sentBody =
    "<?xml version=\"1.0\"?><soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<soap:Body><GetVendorIncomingLoad xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\">"
    "<IncomingLoadID>42</IncomingLoadID></GetVendorIncomingLoad></soap:Body></soap:Envelope>";

class SoapCallTest : public ::testing::Test
{
protected:
    QString call(bool write, const QString& env = envelope)
    {
        return runToEnd(rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.server.serverName(), action, env, write));
    }
    QString read(const QString& env = envelope) { return call(false, env); }
    QString write(const QString& env = envelope) { return call(true, env); }
    ServiceRig rig;
};

TEST_F(SoapCallTest, RequestIsTheSerialisedEnvelopeWithExactlyFourHeadersInOrder)
{
    rig.server.setReply(CannedReply::xml(operationReply("GetVendorIncomingLoad", "<Root/>")));
    read();
    ASSERT_EQ(rig.server.requests().size(), 1u);
    EXPECT_EQ(rig.server.lastRequest().raw,
              "POST /WebServices/KLTVWebservice/KLTVWebservice.asmx HTTP/1.1\r\nHost: 127.0.0.1:"
                  + std::to_string(rig.server.port())
                  + "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " + std::to_string(sentBody.size())
                  + "\r\nSOAPAction: http://tempuri.org/KLTVRouteLocations/Service1/GetVendorIncomingLoad\r\n\r\n"
                  + sentBody);
    // The length counts UTF-8 bytes; an envelope that is not well-formed sends nothing.
    read(QStringLiteral("<a>\r\n  <b>M\u00fcller \u20ac</b>\r\n</a>"));
    const std::string body = "<a><b>M\xc3\xbcller \xe2\x82\xac</b></a>";
    EXPECT_EQ(rig.server.lastRequest().body, body);
    EXPECT_EQ(rig.server.lastRequest().header("Content-Length"), std::to_string(body.size()));
    read(QStringLiteral("<a><OrderID></OrderID><x></a>"));
    EXPECT_EQ(rig.server.lastRequest().body, "");
    EXPECT_EQ(rig.server.lastRequest().header("Content-Length"), "0");
}

TEST_F(SoapCallTest, TransportFailuresAreReportedOnceWithCurlsError)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/x.asmx").arg(LoopbackHttpServer::unusedPort());
    for (bool isWrite : {false, true}) {
        rig.recorder.clear();
        EXPECT_EQ(runToEnd(rig.call.ReturnWebserviceXML(url, QString(), action, envelope, isWrite)), QString());
        EXPECT_FALSE(rig.call.lastCallSucceeded());
        ASSERT_EQ(rig.recorder.errorReportCount(), 1);
        const QString text = rig.recorder.logTexts().value(0);
        EXPECT_TRUE(text.startsWith(QStringLiteral("\r\n\r\nError Number - %1\r\n").arg(int(CURLE_COULDNT_CONNECT))))
            << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("\r\nError Source - libcurl ReturnWebserviceXML\r\n"
                                                 "Project Associated - Palletry")))
            << text.toStdString();
    }
    // No address at all, and an action that would smuggle in a header line.
    rig.recorder.clear();
    EXPECT_EQ(runToEnd(rig.call.ReturnWebserviceXML(QString(), QString(), QString(), envelope)), QString());
    EXPECT_EQ(runToEnd(rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, QString(), action + "\r\nX-Injected: 1", envelope)),
              QString());
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
    EXPECT_EQ(rig.server.requests().size(), 0u);
}

TEST_F(SoapCallTest, TheWholeCallMayOutlastTheConnectLimitButNotTheTotalLimit)
{
    HttpLimits limits;
    EXPECT_EQ(limits.connectTimeoutMs, 15000); // the defaults: 15 s to connect, 2 minutes and 64 MiB in all
    EXPECT_EQ(limits.totalTimeoutMs, 120000);
    EXPECT_EQ(limits.maxReplyBytes, 64 * 1024 * 1024);
    limits.connectTimeoutMs = 150;
    limits.totalTimeoutMs = 5000;
    rig.call.setLimits(limits);
    rig.server.setHandler([](const RecordedRequest&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        return CannedReply::xml(operationReply("GetVendorIncomingLoad", "<Root/>"));
    });
    EXPECT_FALSE(read().isEmpty());
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
    rig.server.setReply(CannedReply::silent());
    rig.useShortLimits(300);
    EXPECT_EQ(read(), QString());
    ASSERT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).startsWith(
        QStringLiteral("\r\n\r\nError Number - %1\r\n").arg(int(CURLE_OPERATION_TIMEDOUT))));
}

TEST_F(SoapCallTest, OversizedRepliesAreCutOffAndReported)
{
    // One byte over the limit is refused, announced or only counted; at the limit it is read.
    const std::string big = operationReply("GetVendorIncomingLoad", std::string(10000, 'x'));
    HttpLimits limits;
    limits.maxReplyBytes = qint64(big.size()) - 1;
    rig.call.setLimits(limits);
    rig.server.setReply(CannedReply::xml(big)); // announces its length
    EXPECT_EQ(read(), QString());
    CannedReply unannounced = CannedReply::xml(big);
    unannounced.omitContentLength = true; // only counting the bytes can stop this one
    rig.server.setReply(unannounced);
    EXPECT_EQ(read(), QString());
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
    for (const QString& text : rig.recorder.logTexts())
        EXPECT_TRUE(text.contains(QStringLiteral("Error Description - The reply is larger than %1 bytes")
                                      .arg(limits.maxReplyBytes)))
            << text.toStdString();
    limits.maxReplyBytes = qint64(big.size());
    rig.call.setLimits(limits);
    EXPECT_FALSE(read().isEmpty());
    rig.server.setReply(CannedReply::xml(big));
    EXPECT_FALSE(read().isEmpty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
}

TEST_F(SoapCallTest, BusyCursorShowsWhileTheCallBlocksAndIsGoneBeforeAReport)
{
    bool busyDuringCall = false;
    rig.server.setHandler([&](const RecordedRequest&) {
        // The test thread is blocked inside curl here; reading the cursor stack is safe.
        busyDuringCall = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return CannedReply::html("x", 500, "Internal Server Error");
    });
    read();
    EXPECT_TRUE(busyDuringCall);
    ASSERT_EQ(rig.recorder.boxes().size(), 1);
    EXPECT_FALSE(rig.recorder.boxes().front().busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(HttpExchangeHost, DerivedFromTheAddressAsHttpClientsDo)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8080/WebServices/x.asmx", "127.0.0.1:8080"}, {"http://Server.Example/x.asmx", "Server.Example"},
        {"http://server:80/x", "server"}, {"https://server:443/x", "server"},
        {"https://server:8443/x", "server:8443"}, {"http://[::1]:81/x", "[::1]:81"}};
    for (const auto& [url, host] : cases)
        EXPECT_EQ(HttpExchange::hostHeaderFor(url), QByteArray(host)) << url;
}

TEST(PalletryReturnWebserviceXML, PublicMemberCallsTheServiceAndReportsThroughTheControl)
{
    LoopbackHttpServer server;
    Palletry control;
    ReportRecorder recorder(control);
    server.setReply(CannedReply::xml(operationReply("GetVendorIncomingLoad", "<Root/>")));
    const QString result = control.ReturnWebserviceXML(server.url(), server.serverName(), action, envelope);
    EXPECT_EQ(replysteps::unwrapped(Unwrap::Operation::GetVendorIncomingLoad, result), QStringLiteral("<Root/>"));
    server.setReply(CannedReply::html("<html/>", 404, "Not Found"));
    EXPECT_EQ(control.ReturnWebserviceXML(server.url(), server.serverName(), action, envelope), QString());
    EXPECT_EQ(recorder.logTexts(), QStringList{QStringLiteral("\r\n\r\nError Number - 404\r\nError Description - HTTP/1.1 404 "
                                                              "Not Found\r\nError Source - %1 ReturnWebserviceXML\r\n"
                                                              "Project Associated - Palletry").arg(server.url())});
}

} // namespace
