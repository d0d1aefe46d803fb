#include "actions/LoadSheet.h"

#include "actions/WholeFile.h"

#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/SheetCell.h"
#include "core/Trap.h"
#include "screen/ListView.h"
#include "screen/Screen.h"

#include <QFileDialog>
#include <QHash>

#include <map>

namespace palletry {

LoadSheet::LoadSheet(Screen& screen, ErrorSink& errors)
    : m_screen(screen)
    , m_errors(errors)
{
}

std::vector<LoadOrder> LoadSheet::orders() const
{
    // Vendor names by id as the vendor list has them; "042" and "42" name one vendor.
    const ListView& vendors = *m_screen.lstVendors;
    QHash<QString, QString> byText;
    QHash<QString, QString> byKey;
    for (int pos = 1; pos <= vendors.count(); ++pos) {
        const QString id = vendors.text(pos);
        byText.insert(id, vendors.subItem(pos, 1));
        if (const QString key = vendorKey(id); !byKey.contains(key))
            byKey.insert(key, vendors.subItem(pos, 1));
    }
    auto vendorName = [&](const QString& id) {
        if (const auto found = byText.constFind(id); found != byText.constEnd())
            return *found;
        return byKey.value(vendorKey(id));
    };

    const ListView& all = *m_screen.lstAllSelectedPOs;
    std::vector<LoadOrder> orders;
    orders.reserve(all.count());
    for (int pos = 1; pos <= all.count(); ++pos) {
        const QString vendorId = all.subItem(pos, LoadColumn::VendorID);
        orders.push_back({all.text(pos), vendorId, vendorName(vendorId), all.subItem(pos, LoadColumn::MemberID),
                          all.subItem(pos, LoadColumn::CenterID), all.subItem(pos, LoadColumn::CenterName),
                          all.subItem(pos, LoadColumn::FreightGroup), all.subItem(pos, LoadColumn::PostalCode),
                          all.subItem(pos, LoadColumn::MaxSequence), all.subItem(pos, LoadColumn::Cartons)});
    }
    return orders;
}

qint16 LoadSheet::cartonsOf(const LoadOrder& order)
{
    try {
        return toInt16(order.cartons);
    } catch (const RuntimeError& e) {
        throw RuntimeError(RuntimeErrorCode(e.record().number),
                           QStringLiteral("Order %1 has no carton count that can be added up (\"%2\"): %3")
                               .arg(order.orderId, order.cartons, e.record().description));
    }
}

int LoadSheet::cartonCount() const
{
    int total = 0;
    try {
        for (const LoadOrder& order : orders())
            total += cartonsOf(order);
    } catch (const RuntimeError&) {
        return -1;
    }
    return total;
}

QByteArray LoadSheet::csv(const std::vector<LoadOrder>& orders)
{
    QByteArray out("\xEF\xBB\xBF");
    auto line = [&out](std::initializer_list<QString> values) {
        bool first = true;
        for (const QString& value : values) {
            if (!first)
                out += ',';
            first = false;
            const QString cell = sheetCellText(value);
            if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\r'))
                || cell.contains(QLatin1Char('\n'))) {
                QString quoted = cell;
                quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
                out += '"' + quoted.toUtf8() + '"';
            } else {
                out += cell.toUtf8();
            }
        }
        out += "\r\n";
    };
    // The headings are data, the same in every language.
    line({QStringLiteral("PO"), QStringLiteral("Vendor ID"), QStringLiteral("Vendor Name"), QStringLiteral("Member ID"),
          QStringLiteral("Center ID"), QStringLiteral("Center Name"), QStringLiteral("Freight Group"),
          QStringLiteral("Postal Code"), QStringLiteral("Segment"), QStringLiteral("Cartons")});
    for (const LoadOrder& o : orders)
        line({o.orderId, o.vendorId, o.vendorName, o.memberId, o.centerId, o.centerName, o.freightGroup, o.postalCode,
              o.segment, o.cartons});
    return out;
}

bool LoadSheet::exportCsv(const QString& path)
{
    return trap(m_errors, "exportLoadCsv", [&] {
        writeWholeFile(path, QStringLiteral("The load"), csv(orders()));
    });
}

void LoadSheet::exportWithDialog(QWidget* parent, qint32 loadId)
{
    // Opened, not run: the host's events go on, and the dialog goes with the control.
    auto* dialog = new QFileDialog(parent, tr("Export load"), QStringLiteral("load-%1.csv").arg(loadId),
                                   tr("CSV files (*.csv)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent, [this](const QString& path) {
        if (!path.isEmpty())
            exportCsv(path);
    });
    dialog->open();
}

} // namespace palletry
