#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <vector>

class QWidget;

namespace palletry {

class ErrorSink;
class Screen;

/// One order on the load as lstAllSelectedPOs holds it, with its vendor's name where lstVendors has it.
struct LoadOrder
{
    QString orderId;
    QString vendorId;
    QString vendorName;
    QString memberId;
    QString centerId;
    QString centerName;
    QString freightGroup;
    QString postalCode;
    QString segment;
    QString cartons;
};

/**
 * The orders on the load off the screen: rows for a spreadsheet (CSV) and the
 * totals a host reads. Reads lstAllSelectedPOs as it stands and asks the service
 * nothing: what the clerk sees is what is written.
 */
class LoadSheet
{
    Q_DECLARE_TR_FUNCTIONS(LoadSheet)

public:
    LoadSheet(Screen& screen, ErrorSink& errors);

    /// The orders in the order the list shows them.
    std::vector<LoadOrder> orders() const;

    /// An order's carton count as a number; TypeMismatch or Overflow (naming the order) when it is none.
    static qint16 cartonsOf(const LoadOrder& order);
    /// The cartons of every order added up; -1 when an order's count is no number.
    int cartonCount() const;

    /**
     * The CSV text: UTF-8 with a byte-order mark, a heading line, one row per order,
     * fields quoted where they hold a comma, a quote or a line break (quotes doubled),
     * each line ended by CRLF; every value kept as text (sheetCellText).
     */
    static QByteArray csv(const std::vector<LoadOrder>& orders);

    /**
     * Writes csv(orders()) to @p path whole or not at all (writeWholeFile): a file
     * already there stays as it was when any write falls short.
     * A failure is reported under "exportLoadCsv" and gives false.
     */
    bool exportCsv(const QString& path);
    /// "Export load…": asks the clerk for a file name, then exportCsv.
    void exportWithDialog(QWidget* parent, qint32 loadId);

private:
    Screen& m_screen;
    ErrorSink& m_errors;
};

} // namespace palletry
