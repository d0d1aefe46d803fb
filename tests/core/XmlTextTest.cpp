#include "support/QtPrinters.h"

#include "ReceivedXml.h" // the reply as the call holds it
#include "core/XmlText.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

using palletry::ReceivedXml;
using palletry::serialisedText;
using palletry::XmlText;

namespace {

QString roundTrip(const QString& text, bool* loaded = nullptr)
{
    pugi::xml_document document;
    const bool ok = XmlText::load(document, text);
    if (loaded)
        *loaded = ok;
    return serialisedText(document);
}

TEST(XmlText, SerialisesWithTheControlsRules)
{
    // Declaration reduced to its version, whitespace-only text dropped, prefixes
    // and attribute order kept, empty elements as <x />.
    const QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n"
        "<soap:Envelope xmlns:xsi=\"urn:i\"  xmlns:soap=\"urn:s\" a='1'>\r\n"
        "  <soap:Body>\r\n    <Op xmlns=\"urn:o\">  <Empty></Empty><Id>7</Id> </Op>\r\n  </soap:Body>\r\n"
        "</soap:Envelope>\r\n");
    EXPECT_EQ(roundTrip(text),
              QStringLiteral("<?xml version=\"1.0\"?><soap:Envelope xmlns:xsi=\"urn:i\" xmlns:soap=\"urn:s\" a=\"1\">"
                             "<soap:Body><Op xmlns=\"urn:o\"><Empty /><Id>7</Id></Op></soap:Body></soap:Envelope>"));
    EXPECT_EQ(roundTrip(QStringLiteral("<a><b x=\"1\"/></a>")), QStringLiteral("<a><b x=\"1\" /></a>"));
    EXPECT_EQ(roundTrip(QStringLiteral("<!--c--><a><?pi data?><![CDATA[<raw>&]]></a>")),
              QStringLiteral("<!--c--><a><?pi data?><![CDATA[<raw>&]]></a>"));
    // Text escapes only "<", ">" and "&", and keeps its blanks around non-blank content.
    EXPECT_EQ(roundTrip(QStringLiteral("<a> x &lt; y &gt; z &amp; &quot;q&quot; &apos;s&apos; &#65;\t</a>")),
              QStringLiteral("<a> x &lt; y &gt; z &amp; \"q\" 's' A\t</a>"));
}

TEST(XmlText, AttributeValuesSurviveBeingReadAgain)
{
    // Tab, line feed and carriage return written raw would come back as spaces.
    const QString once = roundTrip(QStringLiteral("<a v=\"x &amp; &lt; &quot;y&quot; &#9;&#10;&#13;\"/>"));
    EXPECT_EQ(once, QStringLiteral("<a v=\"x &amp; &lt; &quot;y&quot; &#9;&#10;&#13;\" />"));
    EXPECT_EQ(roundTrip(once), once);
}

TEST(XmlText, MalformedTextLeavesTheDocumentEmpty)
{
    for (const char* bad : {"", "   ", "<a><b>x</a>", "<a/><b/>", "text<a/>", "<a/>text", "<a>", "not xml",
                            "<html><body>Server Error</body>"}) {
        pugi::xml_document document;
        document.load_string("<previous/>");
        EXPECT_FALSE(XmlText::load(document, QString::fromLatin1(bad))) << bad;
        EXPECT_FALSE(document.first_child()) << bad;
        EXPECT_EQ(serialisedText(document), QString()) << bad;
    }
}

TEST(XmlText, NoDoctypeOrEntityProcessing)
{
    bool loaded = false;
    const QString out = roundTrip(
        QStringLiteral("<!DOCTYPE a [<!ENTITY e \"expanded\">]><a>&e;</a>"), &loaded);
    EXPECT_TRUE(loaded);
    EXPECT_FALSE(out.contains(QLatin1String("expanded")));
    EXPECT_FALSE(out.contains(QLatin1String("DOCTYPE")));
}

TEST(XmlText, NonAsciiTextSurvivesBothLoaders)
{
    const QString text = QStringLiteral("<a>M\u00fcller \u20ac \U0001F69A</a>");
    EXPECT_EQ(roundTrip(text), text);
    const QByteArray utf8 = text.toUtf8();
    const ReceivedXml fromUtf8(utf8.constData(), std::size_t(utf8.size()));
    ASSERT_TRUE(fromUtf8.loaded);
    EXPECT_EQ(serialisedText(fromUtf8.document), text);
    // A declared single-byte encoding is honoured for bytes from the network.
    const QByteArray latin1("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>M\xfcller</a>");
    const ReceivedXml fromLatin1(latin1.constData(), std::size_t(latin1.size()));
    ASSERT_TRUE(fromLatin1.loaded);
    EXPECT_EQ(serialisedText(fromLatin1.document), QStringLiteral("<?xml version=\"1.0\"?><a>M\u00fcller</a>"));
}

TEST(XmlText, DeepNestingDoesNotExhaustTheStack)
{
    const int depth = 200000;
    std::string text;
    text.reserve(std::size_t(depth) * 8);
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += "x";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    const ReceivedXml received(text.data(), text.size());
    ASSERT_TRUE(received.loaded);
    EXPECT_EQ(XmlText::serialiseUtf8(received.document), text);
}

} // namespace
