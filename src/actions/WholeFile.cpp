#include "actions/WholeFile.h"

#include "core/RuntimeError.h"

#include <QSaveFile>

namespace palletry {

void writeWholeFile(const QString& path, const QString& what, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Only a rename puts the file in place: never written straight over the earlier one.
    file.setDirectWriteFallback(false);
    auto failed = [&](const QString& why) {
        file.cancelWriting();
        return RuntimeError(RuntimeErrorCode::PathFileAccess,
                            QStringLiteral("%1 could not be written to \"%2\": %3").arg(what, path, why));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    // A write may take fewer bytes than given and report no error; what it left is written
    // again, and a write that takes none ends it.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 wrote = file.write(bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0)
            throw failed(QStringLiteral("%1 of %2 bytes were written (%3)")
                             .arg(done)
                             .arg(bytes.size())
                             .arg(file.errorString()));
        done += wrote;
    }
    // A buffered write only reaches the disk on the flush; commit() alone would not tell.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        throw failed(QStringLiteral("not everything could be written (%1)").arg(file.errorString()));
    if (!file.commit())
        throw failed(file.errorString());
}

} // namespace palletry
