// Bytes as a reply body brings them, through the reply chain SoapCall runs
// (loadEncoded -> replyText or dataSetText), and the same bytes as text through
// the QString edits (UnescapeResultXML -> StripSOAPEnvelope -> each operation's
// unwrapper).
//
// Properties:
//  - the one-walk chain equals the steps it replaces on the serialised reply:
//    replyText(doc) == StripSOAPEnvelope(UnescapeResultXML(serialise(doc))), and
//    dataSetText(op, doc) == the operation's unwrapper applied to that, whatever the size hint;
//  - the UTF-8 edits equal the QString edits on the same (valid UTF-8) text;
//  - text with nothing to edit comes back unchanged, and the edits never grow
//    the text beyond what the declaration replacement adds.

#include "FuzzCheck.h"

#include "core/XmlText.h"
#include "soap/Unwrap.h"

#include <pugixml.hpp>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace palletry;

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

// The UTF-8 edits and the QString edits agree on @p text.
void checkEditsAgree(const std::string& text)
{
    if (!isValidUtf8(text))
        return;
    const QString asText = fromUtf8(text);
    const std::string unescaped = Unwrap::unescapeResultUtf8(text);
    FUZZ_CHECK(Unwrap::UnescapeResultXML(asText) == fromUtf8(unescaped));

    const QString stripped = Unwrap::StripSOAPEnvelope(fromUtf8(unescaped));
    for (int op = 0; op < 6; ++op) {
        const auto operation = static_cast<Unwrap::Operation>(op);
        FUZZ_CHECK(Unwrap::unwrap(operation, stripped)
                   == fromUtf8(Unwrap::stripAndUnwrapUtf8(operation, QByteArray::fromStdString(unescaped))));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);

    // The reply chain on the body.
    pugi::xml_document reply;
    if (XmlText::loadEncoded(reply, bytes, size)) {
        const std::string serialised = XmlText::serialiseUtf8(reply);
        if (isValidUtf8(serialised)) {
            const QString text = Unwrap::StripSOAPEnvelope(Unwrap::UnescapeResultXML(fromUtf8(serialised)));
            const QByteArray replyText = Unwrap::replyText(reply, size + size / 8);
            FUZZ_CHECK(fromUtf8(replyText) == text);
            FUZZ_CHECK(Unwrap::replyText(reply) == replyText); // the size hint changes nothing
            for (int op = 0; op < 6; ++op) {
                const auto operation = static_cast<Unwrap::Operation>(op);
                FUZZ_CHECK(fromUtf8(Unwrap::dataSetText(operation, reply, size)) == Unwrap::unwrap(operation, text));
            }
        }
        checkEditsAgree(serialised);
    }

    // The QString edits on the raw text, as a caller holding the reply as text runs them.
    const std::string raw(bytes, size);
    checkEditsAgree(raw);

    const QString original = QString::fromUtf8(bytes, static_cast<qsizetype>(size));
    const QString unescaped = Unwrap::UnescapeResultXML(original);
    if (!original.contains(QLatin1Char('&')) && !original.contains(QLatin1Char('<')))
        FUZZ_CHECK(unescaped == original);
    // Each replacement shortens the text, except the declaration, which grows by at most 18, once per "?xml".
    FUZZ_CHECK(unescaped.size() <= original.size() + 18 * original.count(QStringLiteral("?xml")));

    const QString stripped = Unwrap::StripSOAPEnvelope(unescaped);
    FUZZ_CHECK(stripped.size() <= unescaped.size());
    using Unwrapper = QString (*)(QString);
    for (Unwrapper unwrap : {Unwrap::UnwrapGetVendorIncomingLoad, Unwrap::UnwrapGetVendorDataVendorMaster,
                             Unwrap::UnwrapGetVendorHomeDeliverly, Unwrap::UnwrapGetVendorOrdersAndCentersOnly,
                             Unwrap::UnwrapGetVendorDetailsByOrderID, Unwrap::UnwrapGetOrderDetails}) {
        const QString result = unwrap(stripped);
        FUZZ_CHECK(result.size() <= stripped.size());
        if (!stripped.contains(QLatin1Char('<')))
            FUZZ_CHECK(result == stripped);
    }
    return 0;
}
