#include "DataSetText.h"

#include "ServiceRig.h"

namespace palletry::test {

std::string dataSetText(const std::vector<DataSetRow>& rows)
{
    std::string text =
        "<Root><DataSet><xs:schema id=\"NewDataSet\" xmlns=\"\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\"><xs:element name=\"NewDataSet\" "
        "msdata:IsDataSet=\"true\" /></xs:schema><diffgr:diffgram "
        "xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\" "
        "xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>";
    int n = 0;
    for (const DataSetRow& row : rows) {
        ++n;
        text += "<Table diffgr:id=\"Table" + std::to_string(n) + "\" msdata:rowOrder=\"" + std::to_string(n - 1)
            + "\" diffgr:hasChanges=\"inserted\">";
        for (const auto& [name, value] : row)
            text += "<" + name + ">" + escapeText(value) + "</" + name + ">";
        text += "</Table>";
    }
    return text + "</NewDataSet></diffgr:diffgram></DataSet></Root>";
}

} // namespace palletry::test
