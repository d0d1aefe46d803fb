#pragma once

#include <QString>

namespace palletry {

/**
 * A value as a spreadsheet cell holds it as text: one that begins with "=", "+",
 * "-", "@", a tab or a carriage return gets a leading "'", so that no spreadsheet
 * takes it for a formula. Order numbers and center names come from the service
 * and may hold anything; every sheet the control writes goes through here.
 */
inline QString sheetCellText(const QString& value)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && starts.contains(value.front()))
        return QLatin1Char('\'') + value;
    return value;
}

} // namespace palletry
