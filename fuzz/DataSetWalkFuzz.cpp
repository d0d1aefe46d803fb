// Text as an unwrapped DataSet answer brings it: XmlText::load, then DataSetWalk
// with the column lists the loaders use, an empty list and a list naming one
// column twice.
//
// Properties:
//  - the walk reports exactly the Table rows under Root/DataSet/diffgr:diffgram/
//    NewDataSet (counted here independently with XPath), each once, in order;
//  - every row has one slot per column; a slot holds the value last reported
//    for it in that row and is empty when none was (never an earlier row's value);
//  - a column index reported is always a valid slot;
//  - a text the plain scan takes as a DataSet is one for the parser too;
//  - the same text escaped as a reply's text holds it, read where it stands, reads
//    as the text (rows, verdicts, names met), and any bytes read so read as the
//    text the parser makes of them.

#include "DataSetWalkCalls.h"
#include "FuzzCheck.h"

#include "core/DataSetWalk.h"
#include "core/XmlText.h"

#include <pugixml.hpp>

#include <QString>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using palletry::DataSetWalk;

void walkWith(const DataSetWalk& walk, const pugi::xml_document& document, std::size_t expectedRows)
{
    const int columns = walk.columnCount();
    QVector<QString> reported(columns);
    QVector<bool> seen(columns, false);
    std::size_t rowsSeen = 0;

    const int rows = walk.walk(
        document,
        [&](const QVector<QString>& row) {
            ++rowsSeen;
            FUZZ_CHECK(row.size() == columns);
            for (int c = 0; c < columns; ++c) {
                if (seen[c])
                    FUZZ_CHECK(row[c] == reported[c]);
                else
                    FUZZ_CHECK(row[c].isEmpty());
            }
            seen.fill(false);
        },
        [&](int column, const QString& value) {
            FUZZ_CHECK(column >= 0 && column < columns);
            reported[column] = value;
            seen[column] = true;
        });
    FUZZ_CHECK(rows >= 0 && std::size_t(rows) == rowsSeen);
    FUZZ_CHECK(rowsSeen == expectedRows);

    // Without handlers the walk still counts the same rows.
    FUZZ_CHECK(walk.walk(document, {}) == rows);
}

/// Where @p span reads when read escaped, it reads as @p text read plainly: the same rows, verdicts and names met.
void checkEscapedReading(const QByteArray& span, const QByteArray& text)
{
    const std::vector<std::string> watched{"Root", "Table", "GetVendorDataVendorMasterResult"};
    DataSetWalk::Document escapedRead, plainRead;
    escapedRead.watchNames(watched);
    plainRead.watchNames(watched);
    // Around other bytes, as it stands in a reply.
    const QByteArray reply = "<r>" + span + "</r>";
    if (!escapedRead.loadEscaped(reply, 3, std::size_t(reply.size()) - 4))
        return;
    FUZZ_CHECK(plainRead.load(text));
    FUZZ_CHECK(escapedRead.plainDataSet() == plainRead.plainDataSet());
    FUZZ_CHECK(escapedRead.watchedSeen() == plainRead.watchedSeen());
    const DataSetWalk walk({"VendorID", "Name", "Table"});
    FUZZ_CHECK(callsOf(walk, escapedRead) == callsOf(walk, plainRead));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    pugi::xml_document document;
    const bool parsed = palletry::XmlText::load(document, text);
    // The loaders' way (UTF-8, first texts kept as element values, nodes released
    // before the values become QString) parses alike and gives the same calls.
    {
        const QByteArray utf8 = text.toUtf8();
        for (const DataSetWalk& walk : {DataSetWalk({"VendorID", "Name"}), DataSetWalk({"Name", "Name", "diffgr:id"})}) {
            DataSetWalk::Document loaded;
            FUZZ_CHECK(loaded.load(utf8) == parsed);
            // A plain DataSet by the scan is one by the parser: one Root element holding a DataSet, no doctype.
            if (loaded.plainDataSet()) {
                pugi::xml_document checked;
                FUZZ_CHECK(checked.load_buffer(utf8.constData(), std::size_t(utf8.size()),
                                               pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8));
                int elements = 0;
                for (const pugi::xml_node node : checked.children()) {
                    FUZZ_CHECK(node.type() == pugi::node_element);
                    ++elements;
                }
                FUZZ_CHECK(elements == 1 && std::string(checked.document_element().name()) == "Root"
                           && checked.document_element().child("DataSet"));
            }
            if (parsed)
                FUZZ_CHECK(callsOf(walk, loaded) == callsOf(walk, document));
        }
    }
    {
        const QByteArray utf8 = text.toUtf8();
        const std::string spelled = palletry::escapedAsReplyText(utf8.toStdString());
        checkEscapedReading(QByteArray(spelled.data(), qsizetype(spelled.size())), utf8);
        // The bytes themselves as a reply's text: what they read as is what the parser makes of them.
        const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        QByteArray wrapped = "<a>" + raw + "</a>";
        pugi::xml_document asText;
        if (!raw.contains('<') && !raw.contains('\0')
            && palletry::XmlText::loadEncodedInPlace(asText, wrapped.data(), std::size_t(wrapped.size()))) {
            const pugi::xml_node value = asText.document_element().first_child();
            if (value.type() == pugi::node_pcdata && !value.next_sibling())
                checkEscapedReading(raw, QByteArray(value.value()));
        }
    }
    if (!parsed) {
        FUZZ_CHECK(!document.first_child());
        FUZZ_CHECK(DataSetWalk({"VendorID", "Name"}).walk(document, {}) == 0);
        return 0;
    }

    // Element names are matched as written, prefix included, so the XPath name test fits.
    const std::size_t tableRows = document.select_nodes("/Root/DataSet/diffgr:diffgram/NewDataSet/Table").size();

    static const DataSetWalk walks[] = {
        DataSetWalk({"TruckNumber", "LoadDate", "Driver"}),
        DataSetWalk({"VendorID", "Name"}),
        DataSetWalk({"CenterID", "CenterName", "FreightGroup", "MemberID", "NumberParcels", "OrderID",
                     "PickupPostalCode", "KLTV_OrderSegment", "VendorID"}),
        DataSetWalk({"CenterName", "OrderCenterID", "OrderID"}),
        DataSetWalk({"OrderID", "LineItem", "Model", "ItemDescription", "MaxSegment", "LoadSegment",
                     "NumberOfCartonsForOrderLoad"}),
        DataSetWalk({}),
        DataSetWalk({"Name", "Name", "diffgr:id"}),
    };
    for (const DataSetWalk& walk : walks)
        walkWith(walk, document, tableRows);
    return 0;
}
