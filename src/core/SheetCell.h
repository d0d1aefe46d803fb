#pragma once

#include <QString>

namespace palletry {

/// What a spreadsheet trims before it reads a cell: Unicode white space and the zero-width marks.
inline bool sheetBlank(QChar c)
{
    const char16_t u = c.unicode();
    return c.isSpace() || u == 0x200b || u == 0x200c || u == 0x200d || u == 0x2060 || u == 0xfeff;
}

/**
 * A value as a spreadsheet cell holds it as text: one that begins with a tab or a
 * carriage return, or whose first character after what a spreadsheet trims
 * (sheetBlank) is "=", "+", "-" or "@" or their full-width forms, gets a leading
 * "'", so that no spreadsheet takes it for a formula. Negative numbers are guarded
 * too: order numbers and center names come from the service and may hold anything;
 * every sheet the control writes goes through here.
 */
inline QString sheetCellText(const QString& value)
{
    static const QString starts = QStringLiteral("=+-@\uFF1D\uFF0B\uFF0D\uFF20");
    if (value.isEmpty())
        return value;
    if (value.front() == QLatin1Char('\t') || value.front() == QLatin1Char('\r'))
        return QLatin1Char('\'') + value;
    for (const QChar c : value) {
        if (sheetBlank(c))
            continue;
        if (starts.contains(c))
            return QLatin1Char('\'') + value;
        break;
    }
    return value;
}

} // namespace palletry
