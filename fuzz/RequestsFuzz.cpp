// Arbitrary values through the request builders and the senders, as the clerk's
// entries and the service's own values reach them.
//
// Properties, for every builder and sender:
//  - a value is either refused (one report, the builder returns the empty text,
//    the sender returns false and sends nothing) or the envelope is well-formed
//    XML 1.0 with every value reading back unchanged from its element;
//  - the body the call would send (the envelope loaded and serialised) keeps every
//    value too, except text of white space only, which the load drops by design.

#include "FuzzCheck.h"

#include "core/Trap.h"
#include "core/XmlText.h"
#include "soap/Envelopes.h"
#include "soap/ServiceRequests.h"
#include "soap/SoapCall.h"

#include <pugixml.hpp>

#include <QString>
#include <QStringDecoder>
#include <QVector>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace palletry;

/// Reads typed values off the input; an exhausted input gives zeros and empty texts.
class Input
{
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    qint16 int16() { return static_cast<qint16>(byte() | (byte() << 8)); }
    double number()
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= std::uint64_t(byte()) << (8 * i);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    /// UTF-16 code units, any of them: unpaired surrogates and control characters included.
    QString text()
    {
        const int length = byte() % 24;
        QString out;
        for (int i = 0; i < length; ++i) {
            const std::uint8_t kind = byte();
            // Mostly printable ASCII and the XML specials, sometimes any code unit.
            out += kind < 200 ? QChar(char16_t(0x20 + kind % 0x5F)) : QChar(char16_t(byte() | (byte() << 8)));
        }
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

class CountingSink : public ErrorSink
{
public:
    void reportError(const ErrorRecord&, const QString&) override { ++reports; }
    int reports = 0;
};

/// Keeps the envelopes the senders hand over instead of sending them.
class CapturingCall : public SoapCall
{
public:
    using SoapCall::SoapCall;
    Task<QString> ReturnWebserviceXML(QString, QString, QString, QString SOAPEnvelope, bool) override
    {
        sent.push_back(SOAPEnvelope);
        co_return QString();
    }
    QVector<QString> sent;
};

// UTF-8 to text keeping a leading U+FEFF, which QString::fromUtf8 drops.
QString fromUtf8(const char* text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text, qsizetype(std::strlen(text))));
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool isWellFormedXml(const QString& text)
{
    for (const char32_t c : text.toUcs4())
        if (!isXmlChar(c))
            return false;
    pugi::xml_document document;
    const QByteArray utf8 = text.toUtf8();
    return document.load_buffer(utf8.constData(), std::size_t(utf8.size()), pugi::parse_default | pugi::parse_declaration,
                                pugi::encoding_utf8);
}

bool isWhiteSpace(const QString& value)
{
    for (const QChar c : value)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            return false;
    return true;
}

using Values = std::vector<std::pair<const char*, QString>>;

// The values of the operation element's children named in @p expected, in document order.
void checkValues(const std::string& utf8, const Values& expected, bool keepsWhiteSpace)
{
    pugi::xml_document document;
    FUZZ_CHECK(document.load_buffer(utf8.data(), utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata,
                                    pugi::encoding_utf8));
    pugi::xml_node operation = document.document_element().child("soap:Body").first_child();
    while (operation && operation.type() != pugi::node_element)
        operation = operation.next_sibling();
    FUZZ_CHECK(operation);
    std::size_t at = 0;
    for (pugi::xml_node child = operation.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString name = QString::fromUtf8(child.name());
        if (name == QLatin1String("OrdersArray")) {
            for (pugi::xml_node item = child.child("string"); item; item = item.next_sibling("string")) {
                FUZZ_CHECK(at < expected.size());
                const QString& value = expected[at++].second;
                if (keepsWhiteSpace || !isWhiteSpace(value))
                    FUZZ_CHECK(fromUtf8(item.text().get()) == value);
            }
            continue;
        }
        if (at >= expected.size() || name != QLatin1String(expected[at].first))
            continue; // fixed elements such as StorageIndicator
        const QString& value = expected[at++].second;
        if (keepsWhiteSpace || !isWhiteSpace(value)) {
            const QString got = fromUtf8(child.text().get());
            if (got != value)
                std::fprintf(stderr, "%s: sent \"%s\", reads back \"%s\" (%s)\n", child.name(),
                             value.toUtf8().toHex(' ').constData(), got.toUtf8().toHex(' ').constData(),
                             keepsWhiteSpace ? "envelope" : "wire");
            FUZZ_CHECK(got == value);
        }
    }
    FUZZ_CHECK(at == expected.size());
}

void checkEnvelope(const QString& envelope, const Values& expected)
{
    FUZZ_CHECK(isWellFormedXml(envelope));
    checkValues(envelope.toStdString(), expected, true);
    // What SoapCall puts on the wire.
    pugi::xml_document request;
    FUZZ_CHECK(XmlText::load(request, envelope));
    checkValues(XmlText::serialiseUtf8(request), expected, false);
}

QString number(qint16 value)
{
    return QString::number(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    CountingSink sink;
    CapturingCall call(sink);
    ServiceRequests requests(call, sink);
    requests.setService(QStringLiteral("http://127.0.0.1:1/x.asmx"), QStringLiteral("urn:x/"));

    const std::uint8_t which = in.byte() % 6;
    Values values;
    QString envelope;
    bool accepted = false;
    bool isSender = which >= 3;
    switch (which) {
    case 0: {
        const QString order = in.text();
        const qint16 load = in.int16();
        envelope = requests.GetOrderDetailsSOAPEnvelope(order, load);
        values = {{"OrderID", order}, {"IncomingLoadID", number(load)}};
        break;
    }
    case 1: {
        const QString order = in.text();
        envelope = requests.GetVendorDetailsByOrderIDSOAPEnvelope(order);
        values = {{"OrderID", order}};
        break;
    }
    case 2: {
        const qint16 vendor = in.int16();
        const qint16 load = in.int16();
        envelope = requests.GetVendorOrdersAndCentersOnlySOAPEnvelope(vendor, load);
        values = {{"VendorID", number(vendor)}, {"IncomingLoadID", number(load)}};
        break;
    }
    case 3: {
        const QString order = in.text();
        const qint16 segment = in.int16(), line = in.int16();
        const QString date = in.text();
        const qint16 quantity = in.int16();
        const double weight = in.number();
        const qint16 person = in.int16();
        const QString type = in.text(), updated = in.text();
        const qint16 unloaded = in.int16();
        accepted = runToEnd(requests.AddPODetailsSOAP(order, segment, line, date, quantity, weight, person, type, updated,
                                             unloaded));
        const QString weightText = Envelopes::formatUnitWeight(weight);
        values = {{"OrderID", order},
                  {"KLTV_OrderSegment", number(segment)},
                  {"LineItem", number(line)},
                  {"ReceivedDate", date},
                  {"QuantityReceived", number(quantity)},
                  {"UnitWeight", weightText},
                  {"PersonID", number(person)},
                  {"PersonType", type},
                  {"RecordLastUpdated", updated},
                  {"UnloadedIndicator", number(unloaded)}};
        // The weight's text reads back as the value, to the 15 digits it is written with.
        if (std::isnan(weight))
            FUZZ_CHECK(weightText == QLatin1String("NaN"));
        else if (std::isinf(weight))
            FUZZ_CHECK(weightText == QLatin1String(weight < 0 ? "-INF" : "INF"));
        else
            FUZZ_CHECK(std::abs(weightText.toDouble() - weight) <= std::abs(weight) * 1e-14);
        break;
    }
    case 4: {
        QVector<QString> orders;
        const int count = in.byte() % 5;
        for (int i = 0; i < count; ++i)
            orders.push_back(in.text());
        accepted = runToEnd(requests.AddPOSOAP(orders));
        for (const QString& order : orders)
            values.push_back({"string", order});
        if (orders.isEmpty()) {
            FUZZ_CHECK(call.sent.isEmpty() && sink.reports == 0);
            return 0;
        }
        break;
    }
    default: {
        const QString order = in.text();
        const qint16 segment = in.int16();
        accepted = runToEnd(requests.DeletePOSOAP(order, segment));
        values = {{"OrderID", order}, {"OrderSegment", number(segment)}};
        break;
    }
    }

    FUZZ_CHECK(!accepted); // nothing was sent to a service that could accept it
    if (isSender) {
        FUZZ_CHECK(call.sent.size() + sink.reports == 1);
        if (call.sent.isEmpty())
            return 0; // refused
        envelope = call.sent.front();
    } else if (sink.reports > 0) {
        FUZZ_CHECK(sink.reports == 1 && envelope.isEmpty());
        return 0;
    }
    checkEnvelope(envelope, values);
    return 0;
}
