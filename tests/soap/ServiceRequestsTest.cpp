#include "support/QtPrinters.h"
#include "support/ServiceRig.h"

#include "core/XmlText.h"
#include "soap/Envelopes.h"
#include "soap/ServiceRequests.h"

#include <QLocale>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <clocale>

using namespace palletry;
using namespace palletry::test;

namespace {

const QString head = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "  <soap:Body>    ");
const QString tail = QStringLiteral("   </soap:Body> </soap:Envelope>");

QString enveloped(const QString& body)
{
    return head + body + tail;
}

class ServiceRequestsTest : public ::testing::Test
{
protected:
    void expectScratchEmpty()
    {
        EXPECT_TRUE(rig.state.EnvelopeXML.isEmpty());
        EXPECT_TRUE(rig.state.BodyXML.isEmpty());
    }
    /// The operation element of an envelope, after checking that it parses.
    static pugi::xml_node operationOf(pugi::xml_document& document, const QString& envelope)
    {
        EXPECT_TRUE(XmlText::load(document, envelope)) << envelope.toStdString();
        return document.document_element().child("soap:Body").first_child();
    }

    ServiceRig rig;
    ServiceRequests requests{rig.state, rig.call, rig.report};
};

TEST(WrapSOAPEnvelope, IsTheOneLineTemplate)
{
    EXPECT_EQ(Envelopes::WrapSOAPEnvelope(), head + QStringLiteral("XMLData ") + QStringLiteral("  </soap:Body> </soap:Envelope>"));
}

TEST_F(ServiceRequestsTest, GetVendorHomeDeliverlyEnvelopeByteForByte)
{
    EXPECT_EQ(requests.GetVendorHomeDeliverlySOAPEnvelope(42),
              QStringLiteral(
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                  "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
                  "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">  <soap:Body>    "
                  "<GetVendorHomeDeliverly xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\">      "
                  "<IncomingLoadID>42</IncomingLoadID></GetVendorHomeDeliverly>   </soap:Body> </soap:Envelope>"));
    expectScratchEmpty();
}

TEST_F(ServiceRequestsTest, ReadBuildersByteForByte)
{
    const QString ns = QStringLiteral("xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\"");
    EXPECT_EQ(requests.GetVendorIncomingLoadSOAPEnvelope(-1),
              enveloped(QStringLiteral("<GetVendorIncomingLoad %1>      <IncomingLoadID>-1</IncomingLoadID>"
                                       "</GetVendorIncomingLoad>")
                            .arg(ns)));
    expectScratchEmpty();
    EXPECT_EQ(requests.GetVendorDataVendorMasterSOAPEnvelope(),
              enveloped(QStringLiteral("<GetVendorDataVendorMaster %1 />").arg(ns)));
    expectScratchEmpty();
    EXPECT_EQ(requests.GetVendorOrdersAndCentersOnlySOAPEnvelope(-32768, 32767),
              enveloped(QStringLiteral("<GetVendorOrdersAndCentersOnly %1>      <VendorID>-32768</VendorID>      "
                                       "<IncomingLoadID>32767</IncomingLoadID></GetVendorOrdersAndCentersOnly>")
                            .arg(ns)));
    expectScratchEmpty();
    EXPECT_EQ(requests.GetOrderDetailsSOAPEnvelope(QStringLiteral("PO-5001"), 0),
              enveloped(QStringLiteral("<GetOrderDetails %1>      <OrderID>PO-5001</OrderID>      "
                                       "<IncomingLoadID>0</IncomingLoadID></GetOrderDetails>")
                            .arg(ns)));
    expectScratchEmpty();
    EXPECT_EQ(requests.GetVendorDetailsByOrderIDSOAPEnvelope(QStringLiteral("5001")),
              enveloped(QStringLiteral("<GetVendorDetailsByOrderID %1>      <OrderID>5001</OrderID>"
                                       "</GetVendorDetailsByOrderID>")
                            .arg(ns)));
    expectScratchEmpty();
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
}

TEST_F(ServiceRequestsTest, HostileValuesAreEscapedAndAddNoElements)
{
    const QString hostile[] = {QStringLiteral("A&B"), QStringLiteral("</OrderID><x>"),
                               QStringLiteral("\"quoted\" 'single' <>&amp;"), QStringLiteral("XMLData")};
    for (const QString& value : hostile) {
        const QString envelope = requests.GetOrderDetailsSOAPEnvelope(value, 7);
        pugi::xml_document document;
        const pugi::xml_node op = operationOf(document, envelope);
        EXPECT_STREQ(op.name(), "GetOrderDetails");
        EXPECT_EQ(QString::fromUtf8(op.child("OrderID").text().get()), value);
        EXPECT_EQ(std::distance(op.children().begin(), op.children().end()), 2) << envelope.toStdString();

        pugi::xml_document byOrder;
        EXPECT_EQ(QString::fromUtf8(operationOf(byOrder, requests.GetVendorDetailsByOrderIDSOAPEnvelope(value))
                                        .child("OrderID")
                                        .text()
                                        .get()),
                  value);
    }
    EXPECT_TRUE(requests.GetOrderDetailsSOAPEnvelope(QStringLiteral("A&B"), 1)
                    .contains(QLatin1String("<OrderID>A&amp;B</OrderID>")));
    EXPECT_TRUE(requests.GetOrderDetailsSOAPEnvelope(QStringLiteral("</OrderID><x>"), 1)
                    .contains(QLatin1String("<OrderID>&lt;/OrderID&gt;&lt;x&gt;</OrderID>")));
}

TEST(FormatUnitWeight, DecimalPointWhateverTheLocaleAndNoTrailingZero)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string cPrevious = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where installed; harmless where not
    EXPECT_EQ(Envelopes::formatUnitWeight(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(Envelopes::formatUnitWeight(12.0), QStringLiteral("12"));
    EXPECT_EQ(Envelopes::formatUnitWeight(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(Envelopes::formatUnitWeight(1234.56789012345678), QStringLiteral("1234.56789012346"));
    EXPECT_EQ(Envelopes::formatUnitWeight(-0.25), QStringLiteral("-0.25"));
    EXPECT_EQ(Envelopes::formatUnitWeight(1234567.0), QStringLiteral("1234567"));
    std::setlocale(LC_NUMERIC, cPrevious.c_str());
    QLocale::setDefault(previous);
}

TEST_F(ServiceRequestsTest, AddPODetailsEnvelopeAndAcceptedWrite)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    rig.server.setReply(CannedReply::xml(writeReply("AddPODetails")));
    EXPECT_TRUE(requests.AddPODetailsSOAP(QStringLiteral("5001"), 3, 2, QStringLiteral("6/11/2024 2:05:09 PM"), 0,
                                          12.5, 15, QStringLiteral("2"), QStringLiteral("6/11/2024 2:05:09 PM"), 0));
    QLocale::setDefault(QLocale::c());
    expectScratchEmpty();

    ASSERT_EQ(rig.call.calls.size(), 1);
    const RecordingSoapCall::Call& call = rig.call.calls.front();
    EXPECT_EQ(call.SOAPEnvelope,
              enveloped(QStringLiteral(
                  "<AddPODetails xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\"><OrderID>5001</OrderID>"
                  "<KLTV_OrderSegment>3</KLTV_OrderSegment><LineItem>2</LineItem>"
                  "<ReceivedDate>6/11/2024 2:05:09 PM</ReceivedDate><QuantityReceived>0</QuantityReceived>"
                  "<UnitWeight>12.5</UnitWeight><PersonID>15</PersonID><PersonType>2</PersonType>"
                  "<RecordLastUpdated>6/11/2024 2:05:09 PM</RecordLastUpdated>"
                  "<UnloadedIndicator>0</UnloadedIndicator><StorageIndicator>0</StorageIndicator>"
                  "</AddPODetails>")));
    EXPECT_TRUE(call.UpdateAddDeleteOnly);
    EXPECT_EQ(call.AsmxUrl, rig.state.ServiceUrl);
    EXPECT_EQ(call.Host, rig.state.ServerName);
    EXPECT_EQ(call.SOAPAction, QStringLiteral("http://tempuri.org/KLTVRouteLocations/Service1/AddPODetails"));
    EXPECT_EQ(rig.server.lastRequest().header("SOAPAction"),
              "http://tempuri.org/KLTVRouteLocations/Service1/AddPODetails");
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
}

TEST_F(ServiceRequestsTest, AddPOSendsEveryItemFollowedByCrLf)
{
    rig.server.setReply(CannedReply::xml(writeReply("AddPO")));
    const QVector<QString> orders{QStringLiteral("5001;77;3;42;1234;7;12345;A;15;2"),
                                  QStringLiteral("5002;78;4;42;1234;7;12345;B&C;15;2")};
    EXPECT_TRUE(requests.AddPOSOAP(orders));
    expectScratchEmpty();

    ASSERT_EQ(rig.call.calls.size(), 1);
    EXPECT_EQ(rig.call.calls.front().SOAPEnvelope,
              enveloped(QStringLiteral("<AddPO xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\">      "
                                       "<OrdersArray><string>5001;77;3;42;1234;7;12345;A;15;2</string>\r\n"
                                       "<string>5002;78;4;42;1234;7;12345;B&amp;C;15;2</string>\r\n"
                                       "</OrdersArray> </AddPO>")));
    EXPECT_EQ(rig.call.calls.front().SOAPAction, QStringLiteral("http://tempuri.org/KLTVRouteLocations/Service1/AddPO"));

    // On the wire the items arrive with their values intact.
    pugi::xml_document sent;
    ASSERT_TRUE(XmlText::load(sent, rig.server.lastRequest().bodyText()));
    const pugi::xml_node array = sent.document_element().child("soap:Body").child("AddPO").child("OrdersArray");
    std::vector<std::string> items;
    for (pugi::xml_node item : array.children("string"))
        items.emplace_back(item.text().get());
    EXPECT_EQ(items, (std::vector<std::string>{"5001;77;3;42;1234;7;12345;A;15;2", "5002;78;4;42;1234;7;12345;B&C;15;2"}));
}

TEST_F(ServiceRequestsTest, AddPOWithAnArrayNeverGivenAnElementIsASubscriptError)
{
    EXPECT_FALSE(requests.AddPOSOAP(std::nullopt));
    expectScratchEmpty();
    EXPECT_EQ(rig.server.requestCount(), 0u);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(rig.recorder.logTexts(), QStringList{QStringLiteral(
                                           "\r\n\r\nError Number - 9\r\nError Description - Subscript out of range"
                                           "\r\nError Source - prjPalletry AddPOSOAP\r\nProject Associated - Palletry")});

    // An empty array sends nothing and reports nothing.
    rig.recorder.clear();
    EXPECT_FALSE(requests.AddPOSOAP(QVector<QString>()));
    EXPECT_EQ(rig.server.requestCount(), 0u);
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
}

TEST_F(ServiceRequestsTest, DeletePOEnvelopeAndRejectedWrite)
{
    rig.server.setReply(CannedReply::xml(soapFaultReply("Order 5001 is not on load"), 500, "Internal Server Error"));
    EXPECT_FALSE(requests.DeletePOSOAP(QStringLiteral("5001"), 2));
    expectScratchEmpty();
    ASSERT_EQ(rig.call.calls.size(), 1);
    EXPECT_EQ(rig.call.calls.front().SOAPEnvelope,
              enveloped(QStringLiteral("<DeletePO xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\">      "
                                       "<OrderID>5001</OrderID>      <OrderSegment>2</OrderSegment></DeletePO>")));
    EXPECT_EQ(rig.call.calls.front().SOAPAction, QStringLiteral("http://tempuri.org/KLTVRouteLocations/Service1/DeletePO"));
    // The call reports the refusal once; the sender adds no second report.
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(
        QLatin1String("Error Description - Order 5001 is not on load\r\nError Source - ")));
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(QLatin1String(" ReturnWebserviceXML\r\n")));

    rig.recorder.clear();
    rig.server.setReply(CannedReply::html("busy", 500, "Internal Server Error"));
    EXPECT_FALSE(requests.AddPODetailsSOAP(QStringLiteral("5001"), 1, 1, QString(), 0, 1.0, 1, QString(), QString(), 0));
    EXPECT_FALSE(requests.AddPOSOAP(QVector<QString>{QStringLiteral("x")}));
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);

    rig.recorder.clear();
    rig.server.setReply(CannedReply::xml(writeReply("DeletePO")));
    EXPECT_TRUE(requests.DeletePOSOAP(QStringLiteral("5001"), 2));
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
}

TEST_F(ServiceRequestsTest, SendersToAnUnreachableServerFailWithOneReport)
{
    rig.state.ServiceUrl = QStringLiteral("http://127.0.0.1:%1/x.asmx").arg(LoopbackHttpServer::unusedPort());
    EXPECT_FALSE(requests.DeletePOSOAP(QStringLiteral("5001"), 2));
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    expectScratchEmpty();
}

} // namespace
