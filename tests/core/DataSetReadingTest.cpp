// The loaders' reading of a DataSet answer (DataSetWalk::Document) against the
// parser's document walked node by node: same verdict, same handler calls; and
// the same answer read where it stands escaped in a reply.

#include "DataSetWalkCalls.h" // the dataset_walk fuzz target's call record

#include "core/DataSetWalk.h"
#include "core/XmlText.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace palletry;

namespace {

// The rows alone, each handed over to the handler: taken whole, or value by value.
DataSetWalkCalls rowsTaken(const DataSetWalk& walk, DataSetWalk::Document& document, bool whole)
{
    DataSetWalkCalls rows;
    walk.walkTaking(document, [&](QVector<QString>& row) {
        QStringList values;
        if (whole) {
            const QVector<QString> taken = std::move(row);
            values = QStringList(taken.toList());
        } else {
            for (QString& value : row)
                values << std::move(value);
        }
        rows.emplace_back(-1, values.join(QChar(0)));
    });
    return rows;
}

DataSetWalkCalls rowsOf(DataSetWalkCalls calls)
{
    calls.erase(std::remove_if(calls.begin(), calls.end(), [](const auto& call) { return call.first != -1; }),
                calls.end());
    return calls;
}

} // namespace

TEST(DataSetReadingTest, ReadsRandomAnswersAsTheParserDoes)
{
    // Well-formed rows with texts, references, line ends and markup spliced in anywhere.
    const std::vector<std::string> texts = {"12", " ", "\r\n", "\r", "\t", "&amp;", "&lt;&gt;&quot;&apos;", "&#0;",
                                            "&#x41;", "&#65;", "&#x;", "&#;", "&#x1F600;", "&#4294967361;", "&bogus;",
                                            "&", "&am", "\xc3\xa9", ">", "\""};
    const std::vector<std::string> markup = {"<b>", "</b>", "<b/>", "<!-- c -->", "<![CDATA[x]]>", "<?pi x?>",
                                             "<Table/>", "<x y=\"1\"z=\"2\"/>", "<x y = '1' />", "< a>", "<\xc3\xa9/>",
                                             "<Name\xc3\xa9>", "</Name >", "<?xml version=\"1.0\"?>", "<Name", std::string(1, '\0'),
                                             "</Table>", "<Table diffgr:id=\"T\">", "<VendorID>", "</Root>"};
    std::mt19937 random(20261206);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    const DataSetWalk walk({"VendorID", "Name", "b"});
    int accepted = 0, readEscaped = 0;
    for (int round = 0; round < 4000; ++round) {
        // One draw per statement: every build makes the same answers.
        std::string rows;
        for (int r = int(random() % 4); r > 0; --r) {
            rows += "<Table diffgr:id=\"Table1\" msdata:rowOrder=\"0\"><VendorID>" + pick(texts);
            rows += "</VendorID><Name>" + pick(texts);
            rows += pick(texts) + "</Name>";
            rows += std::string(random() % 2 ? "<Other>1</Other>" : "") + "</Table>";
        }
        // White space around the document only sometimes: the plain reading gives up there when wrong.
        std::string text = std::string(random() % 2 ? " " : "") + "<Root><DataSet><diffgr:diffgram><NewDataSet>" + rows;
        text += std::string("</NewDataSet></diffgr:diffgram></DataSet></Root>") + (random() % 2 ? "\n" : "");
        for (int n = int(random() % 3); n > 0; --n) {
            const std::size_t at = random() % (text.size() + 1);
            text.insert(at, random() % 2 ? pick(texts) : pick(markup));
        }

        const QByteArray utf8(text.data(), qsizetype(text.size()));
        pugi::xml_document parsed;
        const bool wellFormed = XmlText::load(parsed, QString::fromUtf8(utf8));
        DataSetWalk::Document read;
        ASSERT_EQ(read.load(utf8), wellFormed) << text;
        if (wellFormed) {
            ++accepted;
            ASSERT_EQ(callsOf(walk, read), callsOf(walk, parsed)) << text;
            // Rows handed over leave the next row to start empty.
            DataSetWalk::Document again;
            ASSERT_TRUE(again.load(utf8));
            ASSERT_EQ(rowsTaken(walk, again, random() % 2), rowsOf(callsOf(walk, parsed))) << text;
        }
        // Escaped in a reply and read where it stands: where it reads, it reads alike. A
        // span that holds a "<" is no text of a reply: refused.
        for (const std::string& span : {escapedAsReplyText(text), escapedAsReplyText(text, false), text}) {
            QByteArray reply = QByteArray("<r>") + QByteArray(span.data(), qsizetype(span.size())) + "</r>";
            DataSetWalk::Document escapedRead;
            if (!escapedRead.loadEscaped(reply, 3, std::size_t(reply.size()) - 4))
                continue;
            // Held by the rows alone, the bytes may keep only the values: the walk is the same.
            reply = QByteArray();
            if (random() % 2)
                escapedRead.compact();
            ASSERT_NE(span, text) << text;
            ASSERT_TRUE(wellFormed) << span;
            ++readEscaped;
            ASSERT_EQ(callsOf(walk, escapedRead), callsOf(walk, parsed)) << span;
        }
    }
    // Many rows: the values kept by a compaction cover the markup where the names first stood.
    std::string many = "<Root><DataSet><diffgr:diffgram><NewDataSet>";
    for (int r = 0; r < 300; ++r)
        many += "<Table><VendorID>" + std::to_string(r) + "</VendorID><Name>N" + std::to_string(r) + " &amp; Co</Name></Table>";
    many += "</NewDataSet></diffgr:diffgram></DataSet></Root>";
    pugi::xml_document manyParsed;
    ASSERT_TRUE(XmlText::load(manyParsed, QString::fromStdString(many)));
    QByteArray reply = "<r>" + QByteArray::fromStdString(escapedAsReplyText(many)) + "</r>";
    DataSetWalk::Document manyRead;
    ASSERT_TRUE(manyRead.loadEscaped(reply, 3, std::size_t(reply.size()) - 4));
    reply = QByteArray();
    manyRead.compact();
    EXPECT_LT(manyRead.textSize(), 2000);
    EXPECT_EQ(callsOf(walk, manyRead), callsOf(walk, manyParsed));

    // Bytes that are no UTF-8, split by markup the plain reading leaves to the parser: read as
    // the parser reads the text made of them, each byte its own replacement character.
    for (const std::string value : {"\xc3<b/>\xa9", "\xe2\x82<!-- c -->\xac", "\xc3<![CDATA[\xa9]]>"}) {
        const std::string split = "<Root><DataSet><diffgr:diffgram><NewDataSet><Table><VendorID>" + value
            + "</VendorID></Table></NewDataSet></diffgr:diffgram></DataSet></Root>";
        const QByteArray utf8(split.data(), qsizetype(split.size()));
        pugi::xml_document parsed;
        ASSERT_TRUE(XmlText::load(parsed, QString::fromUtf8(utf8))) << value;
        DataSetWalk::Document read;
        ASSERT_TRUE(read.load(utf8)) << value;
        EXPECT_EQ(callsOf(walk, read), callsOf(walk, parsed)) << value;
    }

    EXPECT_GT(accepted, 1000); // most rounds are answers, not only refusals
    EXPECT_GT(readEscaped, accepted); // and most answers read where they stand, both spellings
}
