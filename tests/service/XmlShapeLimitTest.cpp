// The count of a body's elements as it arrives: the same in whatever pieces the network hands
// it over, and not fooled by markup inside comments, CDATA, instructions or attribute values.
#include "XmlShapeLimit.h"

#include <gtest/gtest.h>

#include <string>

using palletry_service::XmlShapeLimit;

TEST(XmlShapeLimit, CountsTheSameInAnyTwoPiecesAndOnlyWhatTheParserBuilds)
{
    // The root, its attribute, the CDATA section and <e/>; the rest only looks like markup.
    const std::string text = "<r a='/>=<q>'><!-- <x> -- > --><![CDATA[<y> ]] ]]><?p <z> ? > ?><!DOCTYPE-ish><e/>"
                             "t&amp;</r>";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        XmlShapeLimit limit;
        EXPECT_TRUE(limit.feed(text.substr(0, cut)) && limit.feed(text.substr(cut))) << cut;
        EXPECT_EQ(limit.nodes(), 4u) << cut;
    }
}

TEST(XmlShapeLimit, RefusesPastTheNodeCountOrTheDepthAndOnlyThen)
{
    const auto nested = [](std::size_t depth) {
        std::string t;
        for (std::size_t i = 0; i < depth; ++i)
            t += "<a x='/>'>";
        for (std::size_t i = 0; i < depth; ++i)
            t += "</a>";
        return t;
    };
    EXPECT_FALSE(XmlShapeLimit::exceeded(nested(XmlShapeLimit::MaxDepth)));
    EXPECT_TRUE(XmlShapeLimit::exceeded(nested(XmlShapeLimit::MaxDepth + 1)));
    // Siblings close as they go: many of them are not deep.
    std::string wide = "<r>";
    for (std::size_t i = 1; i < XmlShapeLimit::MaxNodes; ++i)
        wide += i % 2 ? "<a/>" : "<b></b>";
    EXPECT_FALSE(XmlShapeLimit::exceeded(wide + "</r>"));
    EXPECT_TRUE(XmlShapeLimit::exceeded(wide + "<c/></r>"));
}
