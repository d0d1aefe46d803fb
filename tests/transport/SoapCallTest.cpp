#include "support/QtPrinters.h"
#include "support/ServiceRig.h"

#include "core/XmlText.h"
#include "soap/ServiceNamespace.h"
#include "soap/Unwrap.h"

#include <palletry/Palletry.h>

#include <QApplication>

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

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

const std::string dataSet =
    "<Root><DataSet><diffgr:diffgram xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>"
    "<Table><TruckNumber>T-17</TruckNumber><Driver>Smith &amp; Sons</Driver><Note>a &lt; b &gt; c</Note></Table>"
    "</NewDataSet></diffgr:diffgram></DataSet></Root>";

QString logText(int number, const QString& description, const QString& source)
{
    return QStringLiteral("\r\n\r\nError Number - %1\r\nError Description - %2\r\nError Source - %3 "
                          "ReturnWebserviceXML\r\nProject Associated - Palletry")
        .arg(number)
        .arg(description, source);
}

class SoapCallTest : public ::testing::Test
{
protected:
    QString read(const QString& env = envelope)
    {
        return rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.state.ServerName, action, env);
    }
    QString write(const QString& env = envelope)
    {
        return rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, rig.state.ServerName, action, env, true);
    }

    ServiceRig rig;
};

TEST_F(SoapCallTest, RequestCarriesExactlyTheFourHeadersInOrder)
{
    rig.server.setReply(CannedReply::xml(operationReply("GetVendorIncomingLoad", dataSet)));
    read();

    ASSERT_EQ(rig.server.requestCount(), 1u);
    const RecordedRequest request = rig.server.lastRequest();
    const std::string expected = "POST /WebServices/KLTVWebservice/KLTVWebservice.asmx HTTP/1.1\r\n"
                                 "Host: 127.0.0.1:"
        + std::to_string(rig.server.port())
        + "\r\n"
          "Content-Type: text/xml; charset=utf-8\r\n"
          "Content-Length: "
        + std::to_string(sentBody.size())
        + "\r\n"
          "SOAPAction: http://tempuri.org/KLTVRouteLocations/Service1/GetVendorIncomingLoad\r\n"
          "\r\n"
        + sentBody;
    EXPECT_EQ(request.raw, expected);
    EXPECT_EQ(request.headerNames(), (std::vector<std::string>{"Host", "Content-Type", "Content-Length", "SOAPAction"}));
}

TEST_F(SoapCallTest, ContentLengthCountsUtf8BytesOfTheSerialisedBody)
{
    rig.server.setReply(CannedReply::xml(soapReply("<ok/>")));
    read(QStringLiteral("<a>\r\n  <b>M\u00fcller \u20ac</b>\r\n</a>"));
    const RecordedRequest request = rig.server.lastRequest();
    const std::string body = "<a><b>M\xc3\xbcller \xe2\x82\xac</b></a>";
    EXPECT_EQ(request.body, body);
    EXPECT_EQ(request.header("Content-Length"), std::to_string(body.size()));
}

TEST_F(SoapCallTest, MalformedEnvelopeGoesOutAsAnEmptyBody)
{
    rig.server.setReply(CannedReply::xml(soapReply("<ok/>")));
    read(QStringLiteral("<a><OrderID></OrderID><x></a>"));
    const RecordedRequest request = rig.server.lastRequest();
    EXPECT_EQ(request.body, "");
    EXPECT_EQ(request.header("Content-Length"), "0");
}

TEST_F(SoapCallTest, ReadReplyThroughTheWholeChainGivesTheDataSet)
{
    rig.server.setReply(CannedReply::xml(operationReply("GetVendorIncomingLoad", dataSet)));
    const QString result = read();

    EXPECT_EQ(result,
              QStringLiteral("<GetVendorIncomingLoadResponse xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\">"
                             "<GetVendorIncomingLoadResult>")
                  + QString::fromStdString(dataSet)
                  + QStringLiteral("</GetVendorIncomingLoadResult></GetVendorIncomingLoadResponse>"));
    EXPECT_EQ(Unwrap::UnwrapGetVendorIncomingLoad(result), QString::fromStdString(dataSet));
    EXPECT_TRUE(rig.call.lastCallSucceeded());
    EXPECT_EQ(rig.recorder.boxes().size(), 0);

    // The values arrive as the service sent them.
    pugi::xml_document loaded;
    ASSERT_TRUE(XmlText::load(loaded, Unwrap::UnwrapGetVendorIncomingLoad(result)));
    const pugi::xml_node row = loaded.first_element_by_path("Root/DataSet/diffgr:diffgram/NewDataSet/Table");
    EXPECT_STREQ(row.child("Driver").text().get(), "Smith & Sons");
    EXPECT_STREQ(row.child("Note").text().get(), "a < b > c");
}

TEST_F(SoapCallTest, EscapedDataSetRoundTripKeepsSpecialCharacters)
{
    // A DataSet whose values hold every character the escaping touches, including
    // texts that look like entity references and the declaration.
    const std::string values[] = {"A&B", "x<y", "p>q", "&amp;", "&lt;tag&gt;", "<?xml version=\"1.0\"?>", "\xc3\xa9"};
    std::string rows;
    for (const std::string& v : values)
        rows += "<Table><Name>" + escapeText(v) + "</Name></Table>";
    const std::string set = "<Root><DataSet><diffgr:diffgram xmlns:diffgr=\"urn:d\"><NewDataSet>" + rows
        + "</NewDataSet></diffgr:diffgram></DataSet></Root>";

    rig.server.setReply(CannedReply::xml(operationReply("GetVendorDataVendorMaster", set)));
    const QString text = Unwrap::UnwrapGetVendorDataVendorMaster(read());
    EXPECT_EQ(text, QString::fromStdString(set));

    pugi::xml_document loaded;
    ASSERT_TRUE(XmlText::load(loaded, text));
    std::vector<std::string> names;
    for (pugi::xml_node row : loaded.first_element_by_path("Root/DataSet/diffgr:diffgram/NewDataSet").children("Table"))
        names.emplace_back(row.child("Name").text().get());
    EXPECT_EQ(names, std::vector<std::string>(std::begin(values), std::end(values)));
}

TEST_F(SoapCallTest, FieldsAfterReadWriteAndFailedCalls)
{
    rig.server.setReply(CannedReply::xml(operationReply("GetVendorIncomingLoad", dataSet)));
    read();
    EXPECT_EQ(rig.state.HttpRequest, nullptr);
    ASSERT_NE(rig.state.ReplyDocument, nullptr);
    const std::string reply = XmlText::serialiseUtf8(*rig.state.ReplyDocument);
    EXPECT_EQ(reply.rfind("<?xml version=\"1.0\"?><soap:Envelope xmlns:soap=", 0), 0u) << reply;
    EXPECT_NE(reply.find("<GetVendorIncomingLoadResult>&lt;Root&gt;"), std::string::npos);

    write();
    ASSERT_NE(rig.state.HttpRequest, nullptr);
    EXPECT_EQ(rig.state.HttpRequest->statusCode(), 200);
    EXPECT_EQ(rig.state.HttpRequest->requestBody(), sentBody);
    ASSERT_NE(rig.state.ReplyDocument, nullptr);
    EXPECT_FALSE(rig.state.ReplyDocument->first_child());

    rig.server.setReply(CannedReply::html("<html>down</html>", 503, "Service Unavailable"));
    read();
    ASSERT_NE(rig.state.HttpRequest, nullptr);
    EXPECT_EQ(rig.state.HttpRequest->statusCode(), 503);
    EXPECT_FALSE(rig.state.ReplyDocument->first_child());
}

TEST_F(SoapCallTest, HtmlErrorPageOnReadIsReportedOnce)
{
    rig.server.setReply(CannedReply::html("<html><body><h1>Server Error</h1></body></html>", 500,
                                          "Internal Server Error"));
    EXPECT_EQ(read(), QString());
    EXPECT_FALSE(rig.call.lastCallSucceeded());
    ASSERT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(rig.recorder.boxes().front().request.title, QStringLiteral("prjPalletry"));
    EXPECT_EQ(rig.recorder.logTexts(),
              QStringList{logText(500, QStringLiteral("HTTP/1.1 500 Internal Server Error"), rig.state.ServiceUrl)});
}

TEST_F(SoapCallTest, NonXmlBodyWithSuccessStatusOnReadIsReported)
{
    rig.server.setReply(CannedReply::html("<html><body>maintenance", 200, "OK"));
    EXPECT_EQ(read(), QString());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(rig.recorder.logTexts(),
              QStringList{logText(200, QStringLiteral("HTTP/1.1 200 OK: the reply is not XML"), rig.state.ServiceUrl)});
}

TEST_F(SoapCallTest, SoapFaultOnReadIsReportedWithItsFaultString)
{
    rig.server.setReply(CannedReply::xml(soapFaultReply("Load 42 & more <not found>"), 500, "Internal Server Error"));
    EXPECT_EQ(read(), QString());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(rig.recorder.logTexts(),
              QStringList{logText(500, QStringLiteral("Load 42 & more <not found>"), rig.state.ServiceUrl)});

    // A fault sent with a success status is no answer either.
    rig.recorder.clear();
    rig.server.setReply(CannedReply::xml(soapFaultReply("Bad request"), 200, "OK"));
    EXPECT_EQ(read(), QString());
    EXPECT_EQ(rig.recorder.logTexts(), QStringList{logText(200, QStringLiteral("Bad request"), rig.state.ServiceUrl)});
}

TEST_F(SoapCallTest, RefusedConnectionIsReportedOnceWithCurlsError)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/x.asmx").arg(LoopbackHttpServer::unusedPort());
    EXPECT_EQ(rig.call.ReturnWebserviceXML(url, QString(), action, envelope), QString());
    ASSERT_EQ(rig.recorder.errorReportCount(), 1);
    const QString text = rig.recorder.logTexts().value(0);
    EXPECT_TRUE(text.startsWith(QStringLiteral("\r\n\r\nError Number - %1\r\nError Description - ")
                                    .arg(int(CURLE_COULDNT_CONNECT))))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\nError Source - libcurl ReturnWebserviceXML\r\n"
                                             "Project Associated - Palletry")))
        << text.toStdString();
    EXPECT_NE(rig.state.HttpRequest, nullptr);
}

TEST_F(SoapCallTest, CallBeforeAnyAddressIsReportedOnce)
{
    EXPECT_EQ(rig.call.ReturnWebserviceXML(QString(), QString(), QString(), envelope), QString());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(QLatin1String("Error Source - prjPalletry ReturnWebserviceXML")));
    EXPECT_EQ(rig.server.requestCount(), 0u);
}

TEST_F(SoapCallTest, AcceptedWriteReturnsEmptyTextAndSucceeds)
{
    rig.server.setReply(CannedReply::xml(writeReply("GetVendorIncomingLoad")));
    EXPECT_EQ(write(), QString());
    EXPECT_TRUE(rig.call.lastCallSucceeded());
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
    EXPECT_EQ(rig.server.requestCount(), 1u);
}

TEST_F(SoapCallTest, RejectedWritesAreReportedOnceAndFail)
{
    rig.server.setReply(CannedReply::xml(soapFaultReply("Order is locked"), 500, "Internal Server Error"));
    EXPECT_EQ(write(), QString());
    EXPECT_FALSE(rig.call.lastCallSucceeded());
    EXPECT_EQ(rig.recorder.logTexts(), QStringList{logText(500, QStringLiteral("Order is locked"), rig.state.ServiceUrl)});

    rig.recorder.clear();
    rig.server.setReply(CannedReply::html("oops", 500, "Internal Server Error"));
    EXPECT_EQ(write(), QString());
    EXPECT_FALSE(rig.call.lastCallSucceeded());
    EXPECT_EQ(rig.recorder.logTexts(),
              QStringList{logText(500, QStringLiteral("HTTP/1.1 500 Internal Server Error"), rig.state.ServiceUrl)});

    rig.recorder.clear();
    const QString url = QStringLiteral("http://127.0.0.1:%1/x.asmx").arg(LoopbackHttpServer::unusedPort());
    EXPECT_EQ(rig.call.ReturnWebserviceXML(url, QString(), action, envelope, true), QString());
    EXPECT_FALSE(rig.call.lastCallSucceeded());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);

    // A success afterwards clears the failure.
    rig.server.setReply(CannedReply::xml(writeReply("GetVendorIncomingLoad")));
    write();
    EXPECT_TRUE(rig.call.lastCallSucceeded());
}

TEST_F(SoapCallTest, ServerThatNeverAnswersIsReportedAfterTheTimeOut)
{
    rig.useShortLimits(300);
    rig.server.setReply(CannedReply::silent());
    EXPECT_EQ(read(), QString());
    ASSERT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).startsWith(
        QStringLiteral("\r\n\r\nError Number - %1\r\n").arg(int(CURLE_OPERATION_TIMEDOUT))));
    EXPECT_EQ(rig.server.requestCount(), 1u);
}

TEST_F(SoapCallTest, OversizedRepliesAreCutOffAndReported)
{
    HttpLimits limits;
    limits.maxReplyBytes = 4096;
    rig.call.setLimits(limits);
    const std::string big = operationReply("GetVendorIncomingLoad", std::string(10000, 'x'));

    rig.server.setReply(CannedReply::xml(big)); // announces its length
    EXPECT_EQ(read(), QString());
    CannedReply unannounced = CannedReply::xml(big);
    unannounced.omitContentLength = true; // only counting the bytes can stop this one
    rig.server.setReply(unannounced);
    EXPECT_EQ(read(), QString());

    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
    for (const QString& text : rig.recorder.logTexts())
        EXPECT_TRUE(text.contains(QLatin1String("Error Description - The reply is larger than 4096 bytes")))
            << text.toStdString();

    // Within the limit the same reply without a length is read.
    limits.maxReplyBytes = 1 << 20;
    rig.call.setLimits(limits);
    EXPECT_FALSE(read().isEmpty());
}

TEST_F(SoapCallTest, BusyCursorIsGoneBeforeTheReportAndAfterTheCall)
{
    rig.server.setReply(CannedReply::html("x", 500, "Internal Server Error"));
    read();
    ASSERT_EQ(rig.recorder.boxes().size(), 1);
    EXPECT_FALSE(rig.recorder.boxes().front().busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SoapCallTest, BusyCursorShowsWhileTheCallBlocks)
{
    bool busyDuringCall = false;
    rig.server.setHandler([&](const RecordedRequest&) {
        // The test thread is blocked inside curl here; reading the cursor stack is safe.
        busyDuringCall = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return CannedReply::xml(soapReply("<ok />"));
    });
    read();
    EXPECT_TRUE(busyDuringCall);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SoapCallTest, SoapActionWithALineBreakIsRefused)
{
    const QString result = rig.call.ReturnWebserviceXML(rig.state.ServiceUrl, QString(),
                                                        action + QStringLiteral("\r\nX-Injected: 1"), envelope);
    EXPECT_EQ(result, QString());
    EXPECT_EQ(rig.server.requestCount(), 0u);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
}

TEST(HttpExchangeHost, DerivedFromTheAddressAsHttpClientsDo)
{
    EXPECT_EQ(HttpExchange::hostHeaderFor("http://127.0.0.1:8080/WebServices/x.asmx"), QByteArray("127.0.0.1:8080"));
    EXPECT_EQ(HttpExchange::hostHeaderFor("http://Server.Example/x.asmx"), QByteArray("Server.Example"));
    EXPECT_EQ(HttpExchange::hostHeaderFor("http://server:80/x"), QByteArray("server"));
    EXPECT_EQ(HttpExchange::hostHeaderFor("https://server:443/x"), QByteArray("server"));
    EXPECT_EQ(HttpExchange::hostHeaderFor("https://server:8443/x"), QByteArray("server:8443"));
    EXPECT_EQ(HttpExchange::hostHeaderFor("http://[::1]:81/x"), QByteArray("[::1]:81"));
}

TEST(HttpLimitsDefaults, FifteenSecondsToConnectTwoMinutesInAll64MiB)
{
    const HttpLimits limits;
    EXPECT_EQ(limits.connectTimeoutMs, 15000);
    EXPECT_EQ(limits.totalTimeoutMs, 120000);
    EXPECT_EQ(limits.maxReplyBytes, 64 * 1024 * 1024);
}

TEST(PalletryReturnWebserviceXML, PublicMemberCallsTheServiceAndReportsThroughTheControl)
{
    LoopbackHttpServer server;
    Palletry control;
    ReportRecorder recorder(control);

    server.setReply(CannedReply::xml(operationReply("GetVendorIncomingLoad", dataSet)));
    const QString result = control.ReturnWebserviceXML(server.url(), server.serverName(), action, envelope);
    EXPECT_EQ(Unwrap::UnwrapGetVendorIncomingLoad(result), QString::fromStdString(dataSet));
    EXPECT_EQ(server.lastRequest().header("Host"), "127.0.0.1:" + std::to_string(server.port()));

    server.setReply(CannedReply::html("<html/>", 404, "Not Found"));
    EXPECT_EQ(control.ReturnWebserviceXML(server.url(), server.serverName(), action, envelope), QString());
    EXPECT_EQ(recorder.errorReportCount(), 1);
    EXPECT_EQ(recorder.logTexts(), QStringList{logText(404, QStringLiteral("HTTP/1.1 404 Not Found"), server.url())});
}

} // namespace
