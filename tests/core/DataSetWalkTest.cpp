#include "core/DataSetWalk.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace palletry;

namespace {

std::string dataSet(const std::string& tables, const std::string& diffgram = "diffgr:diffgram")
{
    return "<Root><DataSet><xs:schema id=\"NewDataSet\"><xs:element name=\"Table\"/></xs:schema><" + diffgram
        + " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>" + tables + "</NewDataSet></"
        + diffgram + "></DataSet></Root>";
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

TEST(DataSetWalkTest, EveryMatchingBranchInDocumentOrderAndNoOtherNames)
{
    const std::string xml = "<?xml version=\"1.0\"?><!-- c --><Root><DataSet><diffgr:diffgram><NewDataSet>"
                            "<Table><A>1</A></Table></NewDataSet><NewDataSet><Table><A>2</A></Table>"
                            "</NewDataSet><diffgr:before><Table><A>x</A></Table></diffgr:before>"
                            "</diffgr:diffgram></DataSet><DataSet><diffgr:diffgram><NewDataSet>"
                            "<Table><A>3</A></Table></NewDataSet></diffgr:diffgram></DataSet></Root>";
    EXPECT_EQ(rowsOf(xml, {"A"}), (Rows{{"1"}, {"2"}, {"3"}}));
    EXPECT_TRUE(rowsOf(dataSet("<Table><A>1</A></Table>", "ds:diffgram"), {"A"}).isEmpty());
    EXPECT_TRUE(rowsOf(dataSet("<table><A>1</A></table>"), {"A"}).isEmpty());
    EXPECT_TRUE(rowsOf("<root><DataSet/></root>", {"A"}).isEmpty());
}
