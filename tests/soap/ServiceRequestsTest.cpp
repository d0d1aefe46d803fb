#include "support/ServiceRig.h"

#include "core/XmlText.h"
#include "soap/Envelopes.h"
#include "soap/ServiceRequests.h"

#include <QLocale>

#include <pugixml.hpp>

#include <cfloat>
#include <clocale>
#include <functional>

using namespace palletry;
using namespace palletry::test;

namespace {

const QString head = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "  <soap:Body>    ");
const QString tail = QStringLiteral("   </soap:Body> </soap:Envelope>");
const QString ns = QStringLiteral("xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\"");
const QString stamp = QStringLiteral("6/11/2024 2:05:09 PM");

class ServiceRequestsTest : public ::testing::Test
{
protected:
    QString onTheWire(bool accepted)
    {
        EXPECT_TRUE(accepted);
        return rig.server.lastRequest().bodyText();
    }
    bool addPODetails(const QString& text, double weight = 12.5)
    {
        return runToEnd(requests.AddPODetailsSOAP(text, 3, 2, stamp, 0, weight, 15, QStringLiteral("2"), stamp, 0));
    }
    ServiceRig rig;
    ServiceRequests& requests = rig.requests;
};

TEST_F(ServiceRequestsTest, EveryRequestByteForByte)
{
    EXPECT_EQ(Envelopes::WrapSOAPEnvelope(), head + QStringLiteral("XMLData ") + tail.mid(1));
    struct Case
    {
        const char* sentAs; ///< operation of a sender; null for a builder, which sends nothing
        std::function<QString()> build;
        QString body;
    };
    const QString po = QStringLiteral("5001");
    const Case cases[] = {
        {nullptr, [&] { return requests.GetVendorIncomingLoadSOAPEnvelope(-1); },
         "<GetVendorIncomingLoad %1>      <IncomingLoadID>-1</IncomingLoadID></GetVendorIncomingLoad>"},
        {nullptr, [&] { return requests.GetVendorDataVendorMasterSOAPEnvelope(); }, "<GetVendorDataVendorMaster %1 />"},
        {nullptr, [&] { return requests.GetVendorHomeDeliverlySOAPEnvelope(42); },
         "<GetVendorHomeDeliverly %1>      <IncomingLoadID>42</IncomingLoadID></GetVendorHomeDeliverly>"},
        {nullptr, [&] { return requests.GetVendorOrdersAndCentersOnlySOAPEnvelope(-32768, 32767); },
         "<GetVendorOrdersAndCentersOnly %1>      <VendorID>-32768</VendorID>      "
         "<IncomingLoadID>32767</IncomingLoadID></GetVendorOrdersAndCentersOnly>"},
        {nullptr, [&] { return requests.GetOrderDetailsSOAPEnvelope(QStringLiteral("PO-5001"), 0); },
         "<GetOrderDetails %1>      <OrderID>PO-5001</OrderID>      <IncomingLoadID>0</IncomingLoadID></GetOrderDetails>"},
        {nullptr, [&] { return requests.GetVendorDetailsByOrderIDSOAPEnvelope(po); },
         "<GetVendorDetailsByOrderID %1>      <OrderID>5001</OrderID></GetVendorDetailsByOrderID>"},
        {"AddPODetails", [&] { return onTheWire(addPODetails(po)); },
         "<AddPODetails %1><OrderID>5001</OrderID><KLTV_OrderSegment>3</KLTV_OrderSegment><LineItem>2</LineItem>"
         "<ReceivedDate>6/11/2024 2:05:09 PM</ReceivedDate><QuantityReceived>0</QuantityReceived>"
         "<UnitWeight>12.5</UnitWeight><PersonID>15</PersonID><PersonType>2</PersonType>"
         "<RecordLastUpdated>6/11/2024 2:05:09 PM</RecordLastUpdated><UnloadedIndicator>0</UnloadedIndicator>"
         "<StorageIndicator>0</StorageIndicator></AddPODetails>"},
        {"AddPO", [&] { return onTheWire(runToEnd(requests.AddPOSOAP(QVector<QString>{"5001;77;3;42;1234;7;12345;A;15;2",
                                                                              "5002;78;4;42;1234;7;12345;B;15;2"}))); },
         "<AddPO %1>      <OrdersArray><string>5001;77;3;42;1234;7;12345;A;15;2</string>\r\n"
         "<string>5002;78;4;42;1234;7;12345;B;15;2</string>\r\n</OrdersArray> </AddPO>"},
        {"DeletePO", [&] { return onTheWire(runToEnd(requests.DeletePOSOAP(po, 2))); },
         "<DeletePO %1>      <OrderID>5001</OrderID>      <OrderSegment>2</OrderSegment></DeletePO>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.left(40).toStdString());
        const std::size_t sentBefore = rig.server.requests().size();
        QString expected = head + c.body.arg(ns) + tail;
        if (c.sentAs) {
            // Senders write the envelope as the serialiser does, to the service's path, with the operation's action.
            rig.server.setReply(CannedReply::xml(writeReply(c.sentAs)));
            pugi::xml_document document;
            XmlText::load(document, expected);
            expected = QString::fromStdString(XmlText::serialiseUtf8(document));
        }
        EXPECT_EQ(c.build(), expected);
        ASSERT_EQ(rig.server.requests().size(), sentBefore + (c.sentAs ? 1 : 0));
        if (c.sentAs) {
            const std::string raw = rig.server.lastRequest().raw;
            EXPECT_EQ(raw.substr(0, raw.find("\r\n")), "POST /WebServices/KLTVWebservice/KLTVWebservice.asmx HTTP/1.1");
            EXPECT_EQ(rig.server.lastRequest().header("SOAPAction"),
                      "http://tempuri.org/KLTVRouteLocations/Service1/" + std::string(c.sentAs));
        }
    }
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
}

TEST_F(ServiceRequestsTest, UnitWeightIsWrittenWithAPointAndUpToFifteenDigitsWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string cPrevious = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where installed; harmless where not
    const std::pair<double, const char*> weights[] = {
        {12.5, "12.5"}, {12.0, "12"}, {1234.56789, "1234.56789"}, {0.1 + 0.2, "0.3"},
        {1234.56789012345678, "1234.56789012346"}, {-0.25, "-0.25"}, {1234567.0, "1234567"}, {1e-7, "1e-07"},
        {-DBL_MAX, "-1.79769313486231e+308"}, {1.79769313486231e308, "1.79769313486231e+308"}};
    rig.server.setReply(CannedReply::xml(writeReply("AddPODetails")));
    for (const auto& [weight, text] : weights) {
        addPODetails(QStringLiteral("5001"), weight);
        pugi::xml_document sent;
        ASSERT_TRUE(XmlText::load(sent, rig.server.lastRequest().bodyText()));
        EXPECT_STREQ(sent.first_element_by_path("soap:Envelope/soap:Body/AddPODetails/UnitWeight").text().get(), text)
            << weight;
    }
    std::setlocale(LC_NUMERIC, cPrevious.c_str());
    QLocale::setDefault(previous);
}

TEST_F(ServiceRequestsTest, AddPOWithAnArrayNeverGivenAnElementIsASubscriptError)
{
    EXPECT_FALSE(runToEnd(requests.AddPOSOAP(std::nullopt)));
    EXPECT_EQ(rig.server.requests().size(), 0u);
    EXPECT_EQ(rig.recorder.logTexts(), QStringList{QStringLiteral(
                                           "\r\n\r\nError Number - 9\r\nError Description - Subscript out of range"
                                           "\r\nError Source - prjPalletry AddPOSOAP\r\nProject Associated - Palletry")});
    // An empty array sends nothing and reports nothing.
    rig.recorder.clear();
    EXPECT_FALSE(runToEnd(requests.AddPOSOAP(QVector<QString>())));
    EXPECT_EQ(rig.server.requests().size(), 0u);
    EXPECT_EQ(rig.recorder.boxes().size(), 0);
}

} // namespace
