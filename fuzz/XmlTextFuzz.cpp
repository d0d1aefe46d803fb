// Bytes as a reply body brings them: XmlText::loadEncodedInPlace, then serialiseUtf8.
//
// Properties, for every text that loads:
//  - the serialised text loads again, and serialising that gives the same bytes
//    (the serialiser's output is a fixed point of load + serialise);
//  - the first serialisation already is that fixed point unless the document
//    holds text a reload cannot keep as it is: text of white space only (dropped
//    between elements) or a carriage return (read back as a line feed), both
//    only reachable through character references.
// Text that does not load leaves the document empty.

#include "FuzzCheck.h"

#include "ReceivedXml.h"
#include "core/XmlText.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// True when some text node of @p document would not survive a reload unchanged.
bool holdsUnstableText(const pugi::xml_document& document)
{
    // Iterative: a deeply nested document must not exhaust the stack here either.
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata) {
            const char* value = node.value();
            if (std::strchr(value, '\r'))
                return true;
            bool allSpace = true;
            for (const char* p = value; *p && allSpace; ++p)
                allSpace = isXmlSpace(*p);
            if (allSpace)
                return true;
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling())
            node = node.parent();
        if (node)
            node = node.next_sibling();
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using palletry::XmlText;
    const char* bytes = reinterpret_cast<const char*>(data);

    const palletry::ReceivedXml first(bytes, size);
    if (!first.loaded) {
        FUZZ_CHECK(!first.document.first_child());
        return 0;
    }
    const std::string once = XmlText::serialiseUtf8(first.document);
    FUZZ_CHECK(XmlText::serialiseUtf8(first.document, size + 1) == once); // the size hint changes nothing

    const palletry::ReceivedXml second(once.data(), once.size());
    FUZZ_CHECK(second.loaded);
    const std::string twice = XmlText::serialiseUtf8(second.document);
    if (!holdsUnstableText(first.document))
        FUZZ_CHECK(twice == once);

    const palletry::ReceivedXml third(twice.data(), twice.size());
    FUZZ_CHECK(third.loaded);
    FUZZ_CHECK(XmlText::serialiseUtf8(third.document) == twice);

    // The UTF-16 way in (XmlText::load) reads the serialised text as the byte way does.
    const QString text = QString::fromStdString(twice);
    if (text.toUtf8() == QByteArray::fromStdString(twice)) { // the text is valid UTF-8
        pugi::xml_document fromText;
        FUZZ_CHECK(XmlText::load(fromText, text));
        FUZZ_CHECK(XmlText::serialiseUtf8(fromText) == twice);
    }
    return 0;
}
