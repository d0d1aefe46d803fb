#pragma once

// Bytes as a reply body brings them, and the XML tree XmlText parses from them
// in place, as the service call holds a reply, and the serialiser's text of a
// document. Shared by fuzz targets and tests.

#include "core/XmlText.h"

#include <QString>

#include <pugixml.hpp>

#include <cstddef>
#include <string>

namespace palletry {

struct ReceivedXml
{
    ReceivedXml(const char* data, std::size_t size)
        : bytes(data, size)
        , loaded(XmlText::loadEncodedInPlace(document, bytes.data(), bytes.size()))
    {
    }
    ReceivedXml(const ReceivedXml&) = delete;
    ReceivedXml& operator=(const ReceivedXml&) = delete;

    std::string bytes; // the parsed nodes' text lives here
    pugi::xml_document document;
    bool loaded;
};

/// What the serialiser writes for @p document, as text.
inline QString serialisedText(const pugi::xml_document& document)
{
    return QString::fromStdString(XmlText::serialiseUtf8(document));
}

} // namespace palletry
