#pragma once

// What a DataSet walk told its handlers, for comparing two ways of reading the
// same answer: the dataset_walk target's property, which the core tests check too.

#include "core/DataSetWalk.h"

#include <QString>
#include <QStringList>
#include <QVector>

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

} // namespace palletry
