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
    Q_PROPERTY(QString OrderID MEMBER OrderID)
    Q_PROPERTY(qint16 OrderSegment MEMBER OrderSegment)

public:
    QString OrderID;
    qint16 OrderSegment = 0;
};
Q_DECLARE_METATYPE(HomeDelieveryUDT)
