#include "ResultTable.h"

#include <QStringList>

#include <algorithm>

namespace palletry::bench {

ResultTable& ResultTable::instance()
{
    static ResultTable table;
    return table;
}

void ResultTable::setTime(const std::string& name, double ms)
{
    m_times[name] = ms;
}

namespace {

template <typename Map>
std::optional<typename Map::mapped_type> found(const Map& map, const typename Map::key_type& key)
{
    const auto it = map.find(key);
    if (it == map.end())
        return std::nullopt;
    return it->second;
}

} // namespace

std::optional<double> ResultTable::time(const std::string& name) const
{
    return found(m_times, name);
}

void ResultTable::setCounter(const std::string& name, const std::string& counter, double value)
{
    m_counters[name][counter] = value;
}

std::optional<double> ResultTable::counter(const std::string& name, const std::string& counter) const
{
    const auto it = m_counters.find(name);
    return it == m_counters.end() ? std::nullopt : found(it->second, counter);
}

void ResultTable::setPairs(const std::string& name, const PairResult& result)
{
    m_pairs[name] = result;
}

std::optional<PairResult> ResultTable::pairs(const std::string& name) const
{
    return found(m_pairs, name);
}

void ResultTable::setNote(const std::string& key, const QString& note)
{
    m_notes[key] = note;
}

QString ResultTable::note(const std::string& key) const
{
    const auto it = m_notes.find(key);
    return it == m_notes.end() ? QString() : it->second;
}

void ResultTable::addRow(Row row)
{
    m_rows.push_back(std::move(row));
}

QString ResultTable::formatMs(double ms)
{
    if (ms >= 1000.0)
        return QString::number(ms / 1000.0, 'f', 2) + QStringLiteral(" s");
    if (ms >= 100.0)
        return QString::number(ms, 'f', 0) + QStringLiteral(" ms");
    if (ms >= 10.0)
        return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
    return QString::number(ms, 'f', 2) + QStringLiteral(" ms");
}

void ResultTable::print(std::FILE* out) const
{
    const QStringList headers{QStringLiteral("case"), QStringLiteral("size"), QStringLiteral("time"),
                              QStringLiteral("reference"), QStringLiteral("ratio"), QStringLiteral("target"),
                              QStringLiteral("met")};
    std::vector<QStringList> lines;
    for (const Row& row : m_rows) {
        QString met;
        // A case left out by the filter is neither met nor missed.
        if (row.met)
            met = *row.met ? QStringLiteral("yes") : QStringLiteral("NO");
        else if (!row.target.isEmpty() && row.remark != NotRun)
            met = QStringLiteral("n/a");
        const QString value = row.value.isEmpty() ? QStringLiteral("(%1)").arg(row.remark) : row.value;
        lines.push_back({row.caseName, row.size, value, row.reference, row.ratio, row.target, met});
    }
    std::vector<qsizetype> widths;
    for (const QString& h : headers)
        widths.push_back(h.size());
    for (const QStringList& line : lines)
        for (int c = 0; c < line.size(); ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], line[c].size());

    auto printLine = [&](const QStringList& cells) {
        QString text = QStringLiteral("|");
        for (int c = 0; c < cells.size(); ++c)
            text += QLatin1Char(' ') + cells[c].leftJustified(widths[size_t(c)]) + QStringLiteral(" |");
        std::fprintf(out, "%s\n", text.toUtf8().constData());
    };
    printLine(headers);
    QStringList rule;
    for (qsizetype w : widths)
        rule << QString(w, QLatin1Char('-'));
    printLine(rule);
    for (const QStringList& line : lines)
        printLine(line);
    for (const Row& row : m_rows)
        if (!row.value.isEmpty() && !row.remark.isEmpty())
            std::fprintf(out, "- %s: %s\n", row.caseName.trimmed().toUtf8().constData(), row.remark.toUtf8().constData());
    std::fflush(out);
}

} // namespace palletry::bench
