#pragma once

#include <QByteArray>
#include <QString>

namespace palletry {

/**
 * The one way the control writes a file: whole or not at all. The bytes go to a
 * temporary file beside @p path, every write's count is checked (a full disk or a
 * file size limit cuts a write short without an error), and the temporary file
 * replaces @p path only once all of them are on disk. Otherwise raises
 * PathFileAccess naming @p what and the path; a file already at @p path stays as
 * it was and the temporary file goes.
 */
void writeWholeFile(const QString& path, const QString& what, const QByteArray& bytes);

} // namespace palletry
