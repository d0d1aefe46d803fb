#include "support/QtPrinters.h"

#include "ReplyTextSteps.h" // the edits as sequential steps, shared with the reply_unwrap fuzz target
#include "core/XmlText.h"
#include "soap/ServiceNamespace.h"
#include "soap/Unwrap.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <random>

using namespace palletry;
using namespace palletry::replysteps;

namespace {

const Unwrap::Operation allOperations[] = {
    Unwrap::Operation::GetVendorIncomingLoad,         Unwrap::Operation::GetVendorDataVendorMaster,
    Unwrap::Operation::GetVendorHomeDeliverly,        Unwrap::Operation::GetVendorOrdersAndCentersOnly,
    Unwrap::Operation::GetOrderDetails,               Unwrap::Operation::GetVendorDetailsByOrderID};

} // namespace

TEST(ReadReplyText, FusedReadEqualsTheStepByStepChainOnRandomReplies)
{
    const std::vector<std::string> pieces{"&", "<", ">", "\"", "'", "\t", "lt;", "amp;", "gt;", "?xml version=\"1.0\"?",
                                          "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>",
                                          "<soap:Body>", "</soap:Body>", "<soap:", "Body>", "x", "\r\n", "\xc3\xa9"};
    std::mt19937 random(515);
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<int> pick(0, int(pieces.size()) - 1);
    std::uniform_int_distribution<int> pickOp(0, 5);
    auto randomText = [&] {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += pieces[std::size_t(pick(random))];
        return text;
    };
    for (int i = 0; i < 3000; ++i) {
        const Unwrap::Operation op = allOperations[pickOp(random)];
        const std::string name = Unwrap::operationName(op);
        pugi::xml_document document;
        if (i % 2)
            document.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
        pugi::xml_node envelope = document.append_child("soap:Envelope");
        envelope.append_attribute("xmlns:soap") = "http://schemas.xmlsoap.org/soap/envelope/";
        envelope.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
        envelope.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema";
        pugi::xml_node body = envelope.append_child("soap:Body");
        body.append_child(pugi::node_pcdata).set_value(randomText().c_str());
        pugi::xml_node response = body.append_child((name + "Response").c_str());
        response.append_attribute("xmlns") = i % 5 ? ServiceNamespace : randomText().c_str();
        pugi::xml_node result = response.append_child((name + "Result").c_str());
        result.text() = ("<Root>" + randomText() + "<?xml version=\"1.0\"?><a>" + randomText() + "</a>"
                         + (i % 3 ? "</" + name + "Result>" : randomText()) + "</Root>")
                            .c_str();
        if (i % 4 == 0)
            response.append_child((name + "Result").c_str());
        if (i % 7 == 0) // raw sections take the two-step serialisation
            result.append_child(pugi::node_cdata).set_value(randomText().c_str());
        if (i % 11 == 0)
            result.append_child(pugi::node_comment).set_value(randomText().c_str());
        if (i % 3 == 0)
            result.append_attribute("a") = randomText().c_str();
        if (i % 2 == 0) // text after the result too, which the cut out of the bytes must not lose
            body.append_child(pugi::node_pcdata).set_value(randomText().c_str());

        const QString serialised = QString::fromStdString(XmlText::serialiseUtf8(document));
        const QString stripped = replyText(serialised);
        ASSERT_EQ(QString::fromUtf8(Unwrap::replyText(document)), stripped) << serialised.toStdString();
        ASSERT_EQ(QString::fromUtf8(Unwrap::dataSetText(op, document, std::size_t(i))), unwrapped(op, stripped))
            << name << ": " << serialised.toStdString();
        // Cut out of the received bytes where it lies: the text a copy of them gives.
        QByteArray bytes = serialised.toUtf8(), copy = bytes;
        pugi::xml_document received, copied;
        ASSERT_TRUE(XmlText::loadEncodedInPlace(received, bytes.data(), std::size_t(bytes.size())));
        ASSERT_TRUE(XmlText::loadEncodedInPlace(copied, copy.data(), std::size_t(copy.size())));
        ASSERT_EQ(Unwrap::dataSetText(op, received, bytes), Unwrap::dataSetText(op, copied, std::size_t(i)))
            << name << ": " << serialised.toStdString();
    }
}

TEST(ReadReplyText, ReadingTheRowsWithTheCutEqualsCuttingThenCheckingOnRandomDataSets)
{
    // Element names and values that the operations' removals match, or nearly do.
    const std::vector<std::string> names{"VendorID", "Name", "soap:Body", "soap:Envelope", "soap:Bodyx",
                                         "GetVendorDataVendorMasterResult", "GetOrderDetailsResult",
                                         "GetVendorHomeDeliverlyResponse"};
    const std::vector<std::string> values{"x", "&amp;", "&lt;soap:Body&gt;", "<soap:Body>", "</soap:Body>",
                                          "<?xml version=\"1.0\"?>", "\xc3\xa9", " "};
    std::mt19937 random(2026);
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    const DataSetWalk walk{"VendorID", "Name"};
    auto rowsOf = [&](const std::shared_ptr<DataSetWalk::Document>& read, const QByteArray& text) {
        DataSetWalk::Document own;
        DataSetWalk::Document* document = read.get();
        if (!document) {
            if (!own.load(text))
                return std::vector<QStringList>();
            document = &own;
        }
        std::vector<QStringList> rows;
        walk.walk(*document, [&](const QVector<QString>& row) { rows.push_back(QStringList{row[0], row[1]}); });
        return rows;
    };
    int fast = 0;
    for (int i = 0; i < 2000; ++i) {
        const Unwrap::Operation op = allOperations[i % 6];
        const std::string name = Unwrap::operationName(op);
        std::string rows;
        for (int r = i % 4; r > 0; --r) {
            rows += "<Table diffgr:id=\"Table" + std::to_string(r) + "\"" + (i % 9 == 0 ? " a=\"" + pick(values) + "\"" : "")
                + ">";
            for (int c = i % 3 + 1; c > 0; --c) {
                const std::string element = i % 5 ? (c % 2 ? "VendorID" : "Name") : pick(names);
                rows += "<" + element + ">" + (i % 7 ? "v" + std::to_string(c) : pick(values)) + "</" + element + ">";
            }
            rows += "</Table>";
        }
        pugi::xml_document document;
        pugi::xml_node envelope = document.append_child("soap:Envelope");
        envelope.append_attribute("xmlns:soap") = "http://schemas.xmlsoap.org/soap/envelope/";
        envelope.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
        envelope.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema";
        pugi::xml_node response = envelope.append_child("soap:Body").append_child((name + "Response").c_str());
        response.append_attribute("xmlns") = ServiceNamespace;
        response.append_child((name + "Result").c_str()).text() =
            ("<Root><DataSet><diffgr:diffgram><NewDataSet>" + rows + "</NewDataSet></diffgr:diffgram></DataSet></Root>")
                .c_str();
        const QByteArray serialised = QByteArray::fromStdString(XmlText::serialiseUtf8(document));

        QByteArray bytes = serialised, copy = serialised;
        pugi::xml_document received, copied;
        ASSERT_TRUE(XmlText::loadEncodedInPlace(received, bytes.data(), std::size_t(bytes.size())));
        ASSERT_TRUE(XmlText::loadEncodedInPlace(copied, copy.data(), std::size_t(copy.size())));
        QByteArray text;
        std::shared_ptr<DataSetWalk::Document> read, checked;
        const bool holds = Unwrap::readDataSet(op, received, bytes, text, read);
        const QByteArray expected = Unwrap::dataSetText(op, copied, std::size_t(0));
        ASSERT_EQ(text, expected) << name << ": " << serialised.toStdString();
        ASSERT_EQ(holds, Unwrap::holdsDataSet(op, expected, checked)) << serialised.toStdString();
        ASSERT_EQ(rowsOf(read, text), rowsOf(checked, expected)) << serialised.toStdString();
        fast += text.contains("soap:") ? 0 : 1;
    }
    // Both kinds came up: texts the removal leaves alone and texts it edits.
    EXPECT_GT(fast, 200);
    EXPECT_LT(fast, 1900);
}
