// Bytes as a reply body brings them, through the reply chain SoapCall runs
// (parsed in place -> replyText or dataSetText), and the same bytes as text
// through the edits as sequential QString steps (ReplyTextSteps.h).
//
// Properties:
//  - the one-walk chain equals the steps it replaces on the serialised reply:
//    replyText(doc) == the steps' replyText(serialise(doc)), and
//    dataSetText(op, doc) == the operation's removals applied to that, whatever the size hint;
//  - the same holds for the bytes as the body text of a reply, and as a raw section
//    of it, which the serialiser writes as they are: such a reply takes the
//    two-step way (serialise, then unescape the text), so the unescaping meets
//    the bytes themselves;
//  - the result cut out of the received bytes where it lies equals the copy;
//  - a reply loaded with its long text set aside is the reply loaded whole, the text
//    in the stand-in's place, when the text holds no "<" and no NUL byte; its rows, when
//    read where the text stands, are the rows of the copy, and a refusal changes nothing.
// The steps take seconds on a large reply under the sanitizers: inputs over 4 KB are left to
// reply_chain, which runs the chain alone at full speed.

#include "FuzzCheck.h"
#include "ReceivedXml.h"
#include "ReplyTextSteps.h"

#include "core/XmlText.h"
#include "soap/Unwrap.h"

#include <pugixml.hpp>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace palletry;

constexpr std::size_t MaxCompared = 4096;

// UTF-8 to text keeping a leading byte-order mark as U+FEFF (QString::fromUtf8
// drops it), so that both sides of a comparison hold the same characters.
QString fromUtf8(QByteArrayView text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(text);
}

QString fromUtf8(const std::string& text)
{
    return fromUtf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

bool isValidUtf8(const std::string& text)
{
    return fromUtf8(text).toUtf8() == QByteArray::fromStdString(text);
}

// Every row's every column as read from @p read, or else from @p text.
std::vector<std::string> rowTexts(const std::shared_ptr<DataSetWalk::Document>& read, const QByteArray& text)
{
    DataSetWalk::Document own;
    DataSetWalk::Document* document = read.get();
    if (!document && !own.load(text))
        return {};
    std::vector<std::string> values;
    DataSetWalk({"VendorID", "Name", "Table"})
        .walk(document ? *document : own, {}, [&](int column, const QString& value) {
            values.push_back(std::to_string(column) + value.toStdString());
        });
    return values;
}

// The document whose stand-in holds what the parser makes of the text set aside, serialised; empty when none.
std::string withTextPutBack(pugi::xml_document& document, const QByteArray& bytes, const XmlText::SetAside& aside)
{
    const QByteArray span = bytes.mid(qsizetype(aside.from), qsizetype(aside.to - aside.from));
    QByteArray wrapped = "<a>" + span + "</a>";
    pugi::xml_document asText;
    if (span.contains('<') || span.contains('\0')
        || !XmlText::loadEncodedInPlace(asText, wrapped.data(), std::size_t(wrapped.size())))
        return {};
    pugi::xml_node standIn = document.find_node([&](const pugi::xml_node& node) {
        return node.type() == pugi::node_pcdata && node.value() == aside.standIn;
    });
    if (standIn) {
        standIn.set_value(asText.document_element().text().get());
        return XmlText::serialiseUtf8(document);
    }
    return {};
}

// The result cut out of @p body where it lies, as a read call takes it, equals the copy.
void checkInPlaceAgrees(const char* body, std::size_t size)
{
    for (int op = 0; op < 6; ++op) {
        const auto operation = static_cast<Unwrap::Operation>(op);
        const ReceivedXml copied(body, size);
        QByteArray bytes(body, static_cast<qsizetype>(size));
        pugi::xml_document reply;
        if (!copied.loaded || !XmlText::loadEncodedInPlace(reply, bytes.data(), size))
            return;
        FUZZ_CHECK(Unwrap::dataSetText(operation, reply, bytes) == Unwrap::dataSetText(operation, copied.document, size));
        // Reading the rows with the cut: the same text, the same verdict, the same rows.
        QByteArray again(body, static_cast<qsizetype>(size)), text;
        pugi::xml_document read;
        std::shared_ptr<DataSetWalk::Document> rows, checkedRows;
        if (!XmlText::loadEncodedInPlace(read, again.data(), size))
            return;
        const bool holds = Unwrap::readDataSet(operation, read, again, text, rows);
        const QByteArray expected = Unwrap::dataSetText(operation, copied.document, size);
        FUZZ_CHECK(text == expected);
        FUZZ_CHECK(holds == Unwrap::holdsDataSet(operation, expected, checkedRows));
        FUZZ_CHECK(rowTexts(rows, text) == rowTexts(checkedRows, expected));

        // With the long text set aside.
        const QByteArray received(body, static_cast<qsizetype>(size));
        QByteArray kept = received, asideText;
        pugi::xml_document skeleton;
        XmlText::SetAside aside;
        const bool loaded = XmlText::loadSettingTextAside(skeleton, kept, aside);
        if (!aside) {
            FUZZ_CHECK(loaded && XmlText::serialiseUtf8(skeleton) == XmlText::serialiseUtf8(copied.document));
            continue;
        }
        FUZZ_CHECK(kept == received);
        const std::string whole = withTextPutBack(skeleton, kept, aside);
        FUZZ_CHECK(whole.empty() || whole == XmlText::serialiseUtf8(copied.document));
        pugi::xml_document again2;
        XmlText::SetAside aside2;
        QByteArray kept2 = received;
        XmlText::loadSettingTextAside(again2, kept2, aside2);
        std::shared_ptr<DataSetWalk::Document> asideRows;
        if (Unwrap::readDataSet(operation, again2, kept2, asideText, asideRows, aside2)) {
            FUZZ_CHECK(!whole.empty() && holds && asideRows && asideText.isEmpty());
            FUZZ_CHECK(rowTexts(asideRows, {}) == rowTexts({}, expected)); // the walks above spent their rows
        } else {
            FUZZ_CHECK(aside2.refused && kept2 == received);
        }
    }
}

// The chain and the sequential steps agree on a reply whose body holds @p text,
// as text (escaped when serialised) or as a raw section (written as it is).
void checkEditsAgree(const std::string& text, pugi::xml_node_type kind)
{
    pugi::xml_document reply;
    pugi::xml_node envelope = reply.append_child("soap:Envelope");
    envelope.append_attribute("xmlns:soap") = "http://schemas.xmlsoap.org/soap/envelope/";
    envelope.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
    envelope.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema";
    envelope.append_child("soap:Body").append_child(kind).set_value(text.data(), text.size());
    const QByteArray replyText = Unwrap::replyText(reply);
    const std::string serialised = XmlText::serialiseUtf8(reply);
    if (!isValidUtf8(serialised))
        return;
    checkInPlaceAgrees(serialised.data(), serialised.size());
    const QString stripped = replysteps::replyText(fromUtf8(serialised));
    FUZZ_CHECK(fromUtf8(replyText) == stripped);
    for (int op = 0; op < 6; ++op) {
        const auto operation = static_cast<Unwrap::Operation>(op);
        FUZZ_CHECK(fromUtf8(Unwrap::dataSetText(operation, reply)) == replysteps::unwrapped(operation, stripped));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxCompared)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data);

    // The reply chain on the body.
    const ReceivedXml received(bytes, size);
    if (received.loaded) {
        const pugi::xml_document& reply = received.document;
        const std::string serialised = XmlText::serialiseUtf8(reply);
        if (isValidUtf8(serialised)) {
            const QString text = replysteps::replyText(fromUtf8(serialised));
            const QByteArray replyText = Unwrap::replyText(reply, size + size / 8);
            FUZZ_CHECK(fromUtf8(replyText) == text);
            FUZZ_CHECK(Unwrap::replyText(reply) == replyText); // the size hint changes nothing
            for (int op = 0; op < 6; ++op) {
                const auto operation = static_cast<Unwrap::Operation>(op);
                FUZZ_CHECK(fromUtf8(Unwrap::dataSetText(operation, reply, size)) == replysteps::unwrapped(operation, text));
            }
        }
        checkEditsAgree(serialised, pugi::node_pcdata);
        checkInPlaceAgrees(bytes, size);
    }

    // The raw bytes inside a reply, as text and as a raw section.
    const std::string raw(bytes, size);
    checkEditsAgree(raw, pugi::node_pcdata);
    checkEditsAgree(raw, pugi::node_cdata);
    return 0;
}
