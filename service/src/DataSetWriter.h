#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace palletry_service {

class SqliteStatement;

/// One column of a result table: its element name and its XML Schema type.
struct DataSetColumn {
    const char* name;
    const char* xsType; ///< "xs:int", "xs:string", "xs:dateTime", ...
};

/**
 * Writes a result table as a DataSet document the way .NET serialises one (an inline
 * xs:schema describing "Table", then a diffgram of the rows, inside Root/DataSet), already
 * escaped as XML text so that it can stand as the content of a SOAP result element.
 *
 * Values are escaped twice in one pass: once as text of the DataSet document, once more as
 * text of the result element. A NULL value leaves its column out of the row. The text is
 * appended straight to the reply; no DOM is built.
 */
class DataSetWriter {
public:
    explicit DataSetWriter(std::vector<DataSetColumn> columns);

    /// Appends the escaped DataSet holding every remaining row of rows, whose result
    /// column i is columns[i]. Returns the number of rows written.
    std::size_t append(std::string& out, SqliteStatement& rows) const;

    /// Appends text escaped for a value inside the DataSet inside a result element:
    /// "&" becomes "&amp;amp;", "<" "&amp;lt;", ">" "&amp;gt;".
    static void appendTwiceEscaped(std::string& out, const char* text, std::size_t size);

private:
    std::vector<DataSetColumn> columns_;
    std::string head_;                   ///< Root, DataSet, schema (escaped once)
    std::vector<std::string> openTags_;  ///< "&lt;Name&gt;"
    std::vector<std::string> closeTags_; ///< "&lt;/Name&gt;"
};

} // namespace palletry_service
