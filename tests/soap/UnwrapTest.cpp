#include "support/QtPrinters.h"

#include "core/XmlText.h"
#include "soap/ServiceNamespace.h"
#include "soap/Unwrap.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <random>

using namespace palletry;

namespace {

const QString ns = QLatin1String(ServiceNamespace);
const QString utf8Declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
const QString replyEnvelopeStart = QStringLiteral(
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">");

// The stages as plain sequential single-pass replacements, to compare against.
QString sequentialUnescape(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("<?xml version=\"1.0\"?>"), utf8Declaration);
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QString sequentialRemove(QString text, const QStringList& patterns)
{
    if (text.isEmpty())
        return text;
    for (const QString& p : patterns)
        text.replace(p, QString());
    return text;
}

const QStringList stripPatterns{replyEnvelopeStart, QStringLiteral("<soap:Body>"), QStringLiteral("</soap:Body>"),
                                QStringLiteral("</soap:Envelope>"), utf8Declaration};

TEST(UnescapeResultXML, TurnsEscapedMarkupBackOneStepAtATime)
{
    EXPECT_EQ(Unwrap::UnescapeResultXML(QStringLiteral("&lt;Name&gt;Smith &amp;amp; Sons&lt;/Name&gt;")),
              QStringLiteral("<Name>Smith &amp; Sons</Name>"));
    // "&amp;lt;" is an escaped "&lt;": the last step gives "&lt;", never "<".
    EXPECT_EQ(Unwrap::UnescapeResultXML(QStringLiteral("&amp;lt;")), QStringLiteral("&lt;"));
    EXPECT_EQ(Unwrap::UnescapeResultXML(QStringLiteral("&lt;?xml version=\"1.0\"?&gt;<a/>")),
              utf8Declaration + QStringLiteral("<a/>"));
}

TEST(UnescapeResultXML, OnePassEqualsTheSequentialStepsOnRandomText)
{
    const QStringList pieces{QStringLiteral("&"), QStringLiteral("lt;"), QStringLiteral("gt;"),
                             QStringLiteral("amp;"), QStringLiteral("&lt;"), QStringLiteral("&gt;"),
                             QStringLiteral("&amp;"), QStringLiteral("<"), QStringLiteral(">"),
                             QStringLiteral("?xml version=\"1.0\"?"), QStringLiteral("<?xml version=\"1.0\"?>"),
                             QStringLiteral("x"), QStringLiteral(";"), QStringLiteral("\u00e9")};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, int(pieces.size()) - 1);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += pieces[pick(random)];
        const QString expected = sequentialUnescape(text);
        ASSERT_EQ(Unwrap::UnescapeResultXML(text), expected) << text.toStdString();
        ASSERT_EQ(QString::fromStdString(Unwrap::unescapeResultUtf8(text.toStdString())), expected)
            << text.toStdString();
    }
}

TEST(SerialiseUnescaped, OneWalkEqualsSerialiseThenUnescape)
{
    const std::vector<std::string> pieces{"&", "<", ">", "\"", "'", "lt;", "amp;", "gt;", "?xml version=\"1.0\"?",
                                          "<?xml version=\"1.0\"?>", "x", "\t", "\xc3\xa9"};
    std::mt19937 random(99);
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<int> pick(0, int(pieces.size()) - 1);
    auto randomText = [&] {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += pieces[std::size_t(pick(random))];
        return text;
    };
    for (int i = 0; i < 3000; ++i) {
        pugi::xml_document document;
        if (i % 2)
            document.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
        pugi::xml_node root = document.append_child("soap:Envelope");
        root.append_attribute("xmlns:soap") = randomText().c_str();
        pugi::xml_node body = root.append_child("soap:Body");
        body.append_child("Result").text() = randomText().c_str();
        pugi::xml_node row = body.append_child("Row");
        row.append_attribute("a") = randomText().c_str();
        row.append_child(pugi::node_pcdata).set_value(randomText().c_str());
        row.append_child("Empty");
        row.append_child(pugi::node_pcdata).set_value(randomText().c_str());
        if (i % 7 == 0) // raw sections take the two-step way
            row.append_child(pugi::node_cdata).set_value(randomText().c_str());
        if (i % 11 == 0)
            row.append_child(pugi::node_comment).set_value(randomText().c_str());

        const std::string expected = Unwrap::unescapeResultUtf8(XmlText::serialiseUtf8(document));
        ASSERT_EQ(Unwrap::serialiseUnescapedUtf8(document), expected) << XmlText::serialiseUtf8(document);
    }
}

TEST(StripSOAPEnvelope, RemovesTheEnvelopeOfAReplyAndNothingElse)
{
    const QString reply = utf8Declaration + replyEnvelopeStart + QStringLiteral("\r\n<soap:Body><R>1</R></soap:Body>")
        + QStringLiteral("</soap:Envelope>");
    EXPECT_EQ(Unwrap::StripSOAPEnvelope(reply), QStringLiteral("\r\n<R>1</R>"));
    EXPECT_EQ(Unwrap::StripSOAPEnvelope(QString()), QString());
    // Another namespace order keeps the start tag.
    const QString otherOrder = QStringLiteral(
        "<soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">");
    EXPECT_EQ(Unwrap::StripSOAPEnvelope(otherOrder + QStringLiteral("<soap:Body>x</soap:Body></soap:Envelope>")),
              otherOrder + QStringLiteral("x"));
    // Later removals see text that earlier ones joined, in both forms.
    std::string utf8 = "a</soap:Bo<soap:Body>dy>b<soap:<soap:Body>Body>c";
    Unwrap::stripSOAPEnvelopeUtf8(utf8);
    EXPECT_EQ(utf8, "ab<soap:Body>c");
}

TEST(StripSOAPEnvelope, EqualsSequentialRemovalOnRandomText)
{
    QStringList pieces = stripPatterns;
    pieces << QStringLiteral("<soap:") << QStringLiteral("Body>") << QStringLiteral("</soap:")
           << QStringLiteral("Envelope>") << QStringLiteral("x") << QStringLiteral("\r\n");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(0, 10);
    std::uniform_int_distribution<int> pick(0, int(pieces.size()) - 1);
    for (int i = 0; i < 5000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += pieces[pick(random)];
        ASSERT_EQ(Unwrap::StripSOAPEnvelope(text), sequentialRemove(text, stripPatterns)) << text.toStdString();
    }
}

struct Operation
{
    const char* name;
    QString (*unwrap)(QString);
};

const Operation operations[] = {
    {"GetVendorIncomingLoad", &Unwrap::UnwrapGetVendorIncomingLoad},
    {"GetVendorDataVendorMaster", &Unwrap::UnwrapGetVendorDataVendorMaster},
    {"GetVendorHomeDeliverly", &Unwrap::UnwrapGetVendorHomeDeliverly},
    {"GetVendorOrdersAndCentersOnly", &Unwrap::UnwrapGetVendorOrdersAndCentersOnly},
    {"GetVendorDetailsByOrderID", &Unwrap::UnwrapGetVendorDetailsByOrderID},
};

QString wrapped(const QString& op, const QString& inner)
{
    return QStringLiteral("<%1Response xmlns=\"%2\"><%1Result>").arg(op, ns) + inner
        + QStringLiteral("</%1Result></%1Response>").arg(op);
}

TEST(Unwrappers, RemoveTheirOwnTagsCaseSensitivelyAndInSequence)
{
    const QString dataSet = QStringLiteral("<Root><DataSet /></Root>");
    const QString other = wrapped(QStringLiteral("GetSomethingElse"), QStringLiteral("<Root/>"));
    for (const Operation& op : operations) {
        const QString name = QLatin1String(op.name);
        EXPECT_EQ(op.unwrap(wrapped(name, utf8Declaration + QStringLiteral("\r\n") + dataSet)),
                  QStringLiteral("\r\n") + dataSet)
            << op.name;
        EXPECT_EQ(op.unwrap(QString()), QString()) << op.name;
        // Another operation's reply loses only the declaration.
        EXPECT_EQ(op.unwrap(utf8Declaration + other), other) << op.name;
    }
    const QString upper = QStringLiteral("<getvendorincomingloadresult>x</getvendorincomingloadresult>");
    EXPECT_EQ(Unwrap::UnwrapGetVendorIncomingLoad(upper), upper);
    // Removing the result tag joins the pieces of an end tag that a later removal then finds.
    EXPECT_EQ(Unwrap::UnwrapGetVendorIncomingLoad(
                  QStringLiteral("</GetVendorIncomingLoad<GetVendorIncomingLoadResult>Response>x")),
              QStringLiteral("x"));
}

TEST(UnwrapGetOrderDetails, RemovesTheTypedAndTheEmptyResultTagToo)
{
    EXPECT_EQ(Unwrap::UnwrapGetOrderDetails(QStringLiteral("<GetOrderDetailsResponse xmlns=\"%1\"><GetOrderDetailsResult "
                                                           "xsi:type=\"xsd:string\"><Root/></GetOrderDetailsResult>"
                                                           "</GetOrderDetailsResponse>")
                                                .arg(ns)),
              QStringLiteral("<Root/>"));
    EXPECT_EQ(Unwrap::UnwrapGetOrderDetails(QStringLiteral("\r\n<GetOrderDetailsResponse xmlns=\"%1\">\r\n  "
                                                           "<GetOrderDetailsResult />\r\n</GetOrderDetailsResponse>\r\n")
                                                .arg(ns)),
              QStringLiteral("\r\n\r\n  \r\n\r\n"));
}

} // namespace

TEST(Unwrappers, UnwrappingUtf8GivesTheSameTextForEveryOperation)
{
    using Unwrap::Operation;
    for (Operation op : {Operation::GetVendorIncomingLoad, Operation::GetVendorDataVendorMaster,
                         Operation::GetVendorHomeDeliverly, Operation::GetVendorOrdersAndCentersOnly,
                         Operation::GetOrderDetails, Operation::GetVendorDetailsByOrderID}) {
        const QString name = QLatin1String(Unwrap::operationName(op));
        // Tags of this operation twice, joined text that a later removal finds, and non-ASCII values.
        const QString text = utf8Declaration + QLatin1Char('<') + name + QStringLiteral("Response xmlns=\"") + ns
            + QStringLiteral("\">\r\n<") + name + QStringLiteral("Result><Root>Müller & Søn</Root></") + name
            + QStringLiteral("Re<") + name + QStringLiteral("Result>sult></") + name + QStringLiteral("Response>")
            + QStringLiteral("<GetOrderDetailsResult xsi:type=\"xsd:string\">€<GetOrderDetailsResult />");
        std::string utf8 = text.toStdString();
        Unwrap::unwrapUtf8(op, utf8);
        EXPECT_EQ(QString::fromStdString(utf8), Unwrap::unwrap(op, text)) << name.toStdString();
        EXPECT_NE(Unwrap::unwrap(op, text), text) << name.toStdString();
    }
}
