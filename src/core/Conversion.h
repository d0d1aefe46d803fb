#pragma once

#include <QString>
#include <QtGlobal>

namespace palletry {

// Numeric conversions used wherever service text or a Long becomes a number.
// Text is read as decimal (optional sign, fraction and exponent, blanks around
// it allowed), rounded to the nearest whole number with halves going to the
// even neighbour. Text that is not such a number raises TypeMismatch; a result
// outside the target range raises Overflow (both as RuntimeError).

qint16 toInt16(const QString& text);
qint16 toInt16(double value);
qint16 toInt16(qint64 value);

/// @p value + 1 as a 16-bit counter or segment number; Overflow past 32767.
qint16 nextInt16(qint16 value);

qint32 toInt32(const QString& text);
qint32 toInt32(double value);

/// Text read as a double (unit weights); TypeMismatch when it is not a number.
double toDouble(const QString& text);

/// True when @p text is a decimal number in the form the conversions accept.
bool isNumeric(const QString& text);

/**
 * What tells one vendor id from another: an id that is a number compares as that number
 * ("042" and "42.0" are vendor 42), any other id as its text ("V-12"). Every comparison of
 * vendor ids goes through here, so that the lists, the load sheet and the save never disagree,
 * and one odd id never hides another vendor's orders.
 */
QString vendorKey(const QString& vendorId);

/// True when the two ids name one vendor (see vendorKey()).
bool sameVendor(const QString& a, const QString& b);

/**
 * The leading numeric part of @p text as a 32-bit integer: leading blanks are
 * skipped, a sign, digits, a fraction and an exponent are read as far as they go;
 * 0 when the text does not start with a number. Rounded half to even; Overflow
 * when the number does not fit.
 */
qint32 leadingNumberToInt32(const QString& text);

} // namespace palletry
