#pragma once

#include <string>
#include <utility>
#include <vector>

namespace palletry::test {

/// One DataSet row: its column elements in order (name, value); a left-out column is a null.
using DataSetRow = std::vector<std::pair<std::string, std::string>>;

/**
 * A DataSet result as a .NET service writes it: Root / DataSet with an inline
 * schema beside diffgr:diffgram / NewDataSet / Table rows, values escaped.
 */
std::string dataSetText(const std::vector<DataSetRow>& rows);

} // namespace palletry::test
