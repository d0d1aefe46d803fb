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

// A read that wants the rows reads them where the result stands escaped in the reply,
// without the parser's walk over it; anything that reading cannot take, or that would
// make the reply another one than its stand-in's, is read from the whole reply instead,
// with the same rows and the same report.
TEST_F(SoapCallTest, RowsReadWhereTheResultStandsAreTheWholeReplysRowsAndReports)
{
    const std::string op = "GetVendorDataVendorMaster";
    const std::string rows = "<diffgr:diffgram><NewDataSet>"
                             "<Table diffgr:id=\"Table1\" msdata:rowOrder=\"0\"><VendorID>101</VendorID><Name>Acme</Name></Table>"
                             "<Table><VendorID>102</VendorID><Name>Baker &amp; Sons &lt;East&gt;</Name></Table>"
                             "</NewDataSet></diffgr:diffgram>";
    const std::string dataSet = "<Root><DataSet>" + rows + "</DataSet></Root>";
    auto withResult = [&](const std::string& escapedResult) {
        return soapReply("<" + op + "Response xmlns=\"" + ServiceNamespace + "\">\r\n      <" + op + "Result>"
                         + escapedResult + "</" + op + "Result>\r\n    </" + op + "Response>");
    };
    const std::string fault = "</" + op + "Result></" + op + "Response><soap:Fault><faultcode>soap:Server</faultcode>"
                              "<faultstring>boom</faultstring></soap:Fault><" + op + "Response xmlns=\"" + ServiceNamespace
                              + "\"><" + op + "Result>";
    const QStringList twoVendors{QStringLiteral("101|Acme"), QStringLiteral("102|Baker & Sons <East>")};
    struct Case
    {
        const char* what;
        std::string reply;
        bool readWhereItStands;
        QStringList vendors;
        QString report;
    };
    const std::vector<Case> cases{
        {"the service's reply", operationReply(op, dataSet), true, twoVendors, {}},
        {"leading and trailing white space", withResult("  \r\n" + escapeText(dataSet) + "\t "), true, twoVendors, {}},
        {"a character reference standing for markup",
         withResult(escapeText("<Root><DataSet><diffgr:diffgram><NewDataSet><Table><VendorID>7</VendorID><Name>A")
                    + "&#60;b/&gt;B" + escapeText("</Name></Table></NewDataSet></diffgr:diffgram></DataSet></Root>")),
         false, {QStringLiteral("7|AB")}, {}},
        {"line ends to convert", withResult(escapeText("<Root>\r\n<DataSet>" + rows + "</DataSet></Root>\r")
                                           + "&lt;!--\r\n--&gt;"),
         false, twoVendors, {}},
        {"a line end in a value",
         withResult(escapeText("<Root><DataSet><diffgr:diffgram><NewDataSet><Table><VendorID>7</VendorID>"
                               "<Name>A\r\nB\rC</Name></Table></NewDataSet></diffgr:diffgram></DataSet></Root>")),
         true, {QStringLiteral("7|A\nB\nC")}, {}},
        {"the result's tag inside it, removed",
         withResult(escapeText("<Root><" + op + "Result></" + op + "Result><DataSet>" + rows + "</DataSet></Root>")), false,
         twoVendors, {}},
        {"a fault between two results", withResult(escapeText("<Root><DataSet>" + rows) + fault + escapeText("</DataSet></Root>")),
         false, {}, QStringLiteral("boom")},
        {"a fault whose one text is its string", soapReply("<soap:Fault><faultstring>boom</faultstring></soap:Fault>"),
         false, {}, QStringLiteral("boom")},
        {"no DataSet", operationReply(op, "<Root><Other /></Root>"), false, {},
         QStringLiteral("the reply holds no DataSet")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.recorder.clear();
        rig.server.setReply(CannedReply::xml(c.reply));
        std::shared_ptr<DataSetWalk::Document> read;
        const QByteArray text = runToEnd(rig.call.readDataSet(Unwrap::Operation::GetVendorDataVendorMaster,
                                                              rig.state.ServiceUrl, QLatin1String(ServiceNamespace) + "/" + op.c_str(),
                                                              envelope, &read));
        // As the vendor loader reads them: the rows read, else the text's.
        QStringList vendors;
        if (!read && !text.isEmpty()) {
            read = std::make_shared<DataSetWalk::Document>();
            ASSERT_TRUE(read->load(text));
        }
        if (read)
            DataSetWalk({"VendorID", "Name"}).walk(*read, [&](const QVector<QString>& row) { vendors << row[0] + "|" + row[1]; });
        EXPECT_EQ(vendors, c.vendors);
        EXPECT_EQ(text.isEmpty(), c.readWhereItStands || !c.report.isEmpty());
        if (c.report.isEmpty()) {
            EXPECT_EQ(rig.recorder.errorReportCount(), 0);
        } else {
            ASSERT_EQ(rig.recorder.logTexts().size(), 1);
            EXPECT_TRUE(rig.recorder.logTexts()[0].contains(c.report)) << rig.recorder.logTexts()[0].toStdString();
        }
    }
}
