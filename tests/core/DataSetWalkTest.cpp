#include "core/DataSetWalk.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace palletry;

namespace {

std::string dataSet(const std::string& tables)
{
    return "<Root><DataSet><xs:schema id=\"NewDataSet\"><xs:element name=\"Table\"/></xs:schema><diffgr:diffgram"
           " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>" + tables
        + "</NewDataSet></diffgr:diffgram></DataSet></Root>";
}

using Rows = QVector<QVector<QString>>;

Rows rowsOf(const std::string& xml, std::initializer_list<const char*> columns)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    Rows rows;
    DataSetWalk(columns).walk(doc, [&](const QVector<QString>& row) { rows.push_back(row); });
    return rows;
}

} // namespace

TEST(DataSetWalkTest, RowsByColumnNameNullsEmptyLastValueWinsUnknownIgnored)
{
    EXPECT_EQ(rowsOf(dataSet("<Table><VendorID>1</VendorID><Name>Acme</Name></Table>"
                             "<Table><VendorID>2</VendorID></Table>"
                             "<Table diffgr:id=\"Table3\"><Extra>x</Extra><Name>B &amp; C</Name>"
                             "<VendorID>9</VendorID><VendorID>10</VendorID></Table>"
                             "<Table><Name>x<![CDATA[<y>]]><b>z</b></Name></Table>"),
                     {"VendorID", "Name"}),
              (Rows{{"1", "Acme"}, {"2", ""}, {"10", "B & C"}, {"", "x<y>z"}}));
}
