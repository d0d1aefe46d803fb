#pragma once

// What a DataSet walk told its handlers, for comparing two ways of reading the
// same answer: the dataset_walk target's property, which the core tests check too.

#include "core/DataSetWalk.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <string>
#include <utility>
#include <vector>

namespace palletry {

/// Every handler call of a walk, in order: (column, value) pairs, a row as column -1 with its values joined.
using DataSetWalkCalls = std::vector<std::pair<int, QString>>;

template <typename Document>
DataSetWalkCalls callsOf(const DataSetWalk& walk, Document& document)
{
    DataSetWalkCalls calls;
    walk.walk(
        document, [&](const QVector<QString>& row) { calls.emplace_back(-1, QStringList(row.toList()).join(QChar(0))); },
        [&](int column, const QString& value) { calls.emplace_back(column, value); });
    return calls;
}

/**
 * @p text escaped as a reply's text node holds it: as the serialiser writes it ("&", "<", ">"),
 * or, with @p serialiser false, with the quotes as entities and ">" left as it is.
 */
inline std::string escapedAsReplyText(const std::string& text, bool serialiser = true)
{
    std::string out;
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += serialiser ? "&gt;" : ">";
        else if (c == '"' && !serialiser)
            out += "&quot;";
        else if (c == '\'' && !serialiser)
            out += "&apos;";
        else
            out += c;
    }
    return out;
}

} // namespace palletry
