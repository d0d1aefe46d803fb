#pragma once

#include "Pairs.h"

#include <QString>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace palletry::bench {

/**
 * What the cases measured, by name, and the one table printed at the end.
 *
 * Cases timed against a reference add their pairs (each side's median and the
 * median ratio); other benchmarks report times and counters; the cases' own
 * notes (sizes, failures) are added directly. The table rows are added by whoever knows the
 * targets; a row whose time is missing prints its reason instead.
 */
class ResultTable
{
public:
    static ResultTable& instance();

    void setTime(const std::string& name, double ms);
    std::optional<double> time(const std::string& name) const;
    void setCounter(const std::string& name, const std::string& counter, double value);
    std::optional<double> counter(const std::string& name, const std::string& counter) const;
    /// A case timed in turns against its reference (see interleave()).
    void setPairs(const std::string& name, const PairResult& result);
    std::optional<PairResult> pairs(const std::string& name) const;
    void setNote(const std::string& key, const QString& note);
    QString note(const std::string& key) const;

    struct Row
    {
        explicit Row(QString name, QString rowSize = QString(), QString rowValue = QString())
            : caseName(std::move(name)), size(std::move(rowSize)), value(std::move(rowValue))
        {
        }
        QString caseName;
        QString size;
        QString value;      ///< formatted time or memory; empty when not measured
        QString reference;  ///< the reference's time, where the case has one
        QString ratio;      ///< e.g. "2.4x floor", "31x faster"
        QString target;
        std::optional<bool> met; ///< unset: no target, or not measured
        QString remark;     ///< why a value is missing
    };
    void addRow(Row row);

    /// Prints the rows as one Markdown table.
    void print(std::FILE* out) const;

    /// "12.3 ms" / "1.23 s".
    static QString formatMs(double ms);

    /// The remark of a row whose case the filter left out.
    static inline const QString NotRun = QStringLiteral("not run");

private:
    std::map<std::string, double> m_times;
    std::map<std::string, std::map<std::string, double>> m_counters;
    std::map<std::string, QString> m_notes;
    std::map<std::string, PairResult> m_pairs;
    std::vector<Row> m_rows;
};

} // namespace palletry::bench
