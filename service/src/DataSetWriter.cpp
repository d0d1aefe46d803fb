#include "DataSetWriter.h"

#include "SoapReply.h"
#include "SqliteStatement.h"

#include <algorithm>
#include <charconv>

namespace palletry_service {

namespace {

constexpr const char* DiffgramStart =
    "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\""
    " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\">";
constexpr const char* DiffgramEmpty =
    "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\""
    " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\" />";

std::string escapedOnce(const std::string& markup)
{
    std::string out;
    out.reserve(markup.size() + markup.size() / 4);
    SoapReply::appendEscaped(out, markup);
    return out;
}

void appendNumber(std::string& out, std::size_t n)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, result.ptr);
}

} // namespace

DataSetWriter::DataSetWriter(std::vector<DataSetColumn> columns) : columns_(std::move(columns))
{
    std::string head =
        "<Root><DataSet>"
        "<xs:schema id=\"NewDataSet\" xmlns=\"\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
        " xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\">"
        "<xs:element name=\"NewDataSet\" msdata:IsDataSet=\"true\" msdata:UseCurrentLocale=\"true\">"
        "<xs:complexType><xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">"
        "<xs:element name=\"Table\"><xs:complexType><xs:sequence>";
    for (const auto& column : columns_) {
        head += "<xs:element name=\"";
        head += column.name;
        head += "\" type=\"";
        head += column.xsType;
        head += "\" minOccurs=\"0\" />";
        openTags_.push_back(escapedOnce(std::string("<") + column.name + ">"));
        closeTags_.push_back(escapedOnce(std::string("</") + column.name + ">"));
    }
    head += "</xs:sequence></xs:complexType></xs:element>"
            "</xs:choice></xs:complexType></xs:element></xs:schema>";
    head_ = escapedOnce(head);
}

std::size_t DataSetWriter::append(std::string& out, SqliteStatement& rows) const
{
    static const std::string diffgramStart = escapedOnce(DiffgramStart);
    static const std::string diffgramEmpty = escapedOnce(DiffgramEmpty);
    static const std::string tail = escapedOnce("</NewDataSet></diffgr:diffgram></DataSet></Root>");

    out += head_;
    const int count = std::min<int>(static_cast<int>(columns_.size()), rows.columnCount());
    std::size_t n = 0;
    while (rows.step()) {
        if (n == 0) {
            out += diffgramStart;
            out += "&lt;NewDataSet&gt;";
        }
        ++n;
        out += "&lt;Table diffgr:id=\"Table";
        appendNumber(out, n);
        out += "\" msdata:rowOrder=\"";
        appendNumber(out, n - 1);
        out += "\" diffgr:hasChanges=\"inserted\"&gt;";
        for (int c = 0; c < count; ++c) {
            if (rows.isNull(c))
                continue; // a null value is left out of the row
            const std::string_view value = rows.text(c);
            out += openTags_[c];
            appendTwiceEscaped(out, value.data(), value.size());
            out += closeTags_[c];
        }
        out += "&lt;/Table&gt;";
    }
    if (n == 0) {
        out += diffgramEmpty;
        out += escapedOnce("</DataSet></Root>");
    } else {
        out += tail;
    }
    return n;
}

void DataSetWriter::appendTwiceEscaped(std::string& out, const char* text, std::size_t size)
{
    const char* runStart = text;
    const char* const end = text + size;
    for (const char* p = text; p != end; ++p) {
        const char* replacement;
        switch (*p) {
        case '&': replacement = "&amp;amp;"; break;
        case '<': replacement = "&amp;lt;"; break;
        case '>': replacement = "&amp;gt;"; break;
        case '\r': replacement = "&amp;#xD;"; break; // a bare CR would not survive parsing
        default: continue;
        }
        out.append(runStart, p);
        out += replacement;
        runStart = p + 1;
    }
    out.append(runStart, end);
}

} // namespace palletry_service
