#pragma once

#include <palletry/palletry_export.h>

#include <QMetaType>
#include <QString>
#include <QtGlobal>

/**
 * One order placed on the open load: its PO number as the service gives it and
 * the segment (delivery number) under which it stands on the load.
 */
struct PALLETRY_EXPORT HomeDelieveryUDT
{
    Q_GADGET
    /// The order's PO number, as the service gives it: OrderID to script bridges.
    Q_PROPERTY(QString OrderID MEMBER OrderID)
    /// The segment under which the order stands on the load: OrderSegment to script bridges.
    Q_PROPERTY(qint16 OrderSegment MEMBER OrderSegment)

public:
    QString OrderID;          ///< The order's PO number, as the service gives it.
    qint16 OrderSegment = 0;  ///< The segment (delivery number) under which it stands on the load.
};
Q_DECLARE_METATYPE(HomeDelieveryUDT)
