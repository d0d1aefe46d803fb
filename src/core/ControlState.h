#pragma once

#include <palletry/HomeDelieveryUDT.h>

#include "core/Watched.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <optional>

namespace palletry {

/**
 * Every field of the control, under its own name, as plain data. The parts of
 * the control read and write these directly; nothing here has behaviour beyond
 * the segment telling the host when it changes.
 */
struct ControlState
{
    /// Segment under which the orders being saved are placed; 0 = none chosen yet.
    Watched<qint16> CurrentSegmentNumber = 0;
    /// The segment the service last named for the order taken up (0: none), to tell it from one the host set.
    qint16 SegmentFromService = 0;

    /// The server text LoadData was given, as given.
    QString ServerName;
    /// The service address of the open load, built by LoadData from the server it was given.
    QString ServiceUrl;

    /// The chosen vendor's leading number, as hosts and the original read it; nothing compares by it.
    qint32 SelectedVendorID = 0;
    /// The chosen vendor's id as its row shows it, which every comparison uses ("V-12" has no number).
    QString SelectedVendor;
    qint32 LoadID = 0;

    /// Orders on the load and their segments; entry 0 is not a row.
    /// std::nullopt until an answer with rows (or a vendor's details) sized it.
    std::optional<QVector<HomeDelieveryUDT>> OrderSegmentTable;
    /// The orders on the load as the service's last answer for it listed them (what the host is told).
    QVector<HomeDelieveryUDT> OrdersOnLoad;

    /// Per-order values of the last order-details answer.
    QString LoadSegment;
    QString MaxSegment;
    QString NumberOfCartonsForOrderLoad;

    QString PersonID;
    QString PersonTypeID;

    /// Unwrapped results of the last call of each read operation, as UTF-8
    /// (as received): DataSetWalk::Document reads them without a UTF-16 copy.
    /// The vendor master text is not kept: it is read into the vendor list once.
    QByteArray IncomingLoadXML;
    QByteArray HomeDeliverlyXML;
    QByteArray VendorOrdersXML;
    QByteArray VendorByOrderXML;
};

} // namespace palletry
