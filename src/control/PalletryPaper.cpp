// The manifest's paper: Palletry's members for it, kept apart from the rest of the shell.

#include "control/Palletry_p.h"

QPageSize Palletry::manifestPageSize() const
{
    return d->manifest.pageSize();
}

void Palletry::setManifestPageSize(const QPageSize& size)
{
    const QPageSize before = manifestPageSize();
    d->manifest.setPageSize(size);
    if (!manifestPageSize().isEquivalentTo(before))
        emit manifestPageSizeChanged();
}

void Palletry::resetManifestPageSize()
{
    setManifestPageSize(QPageSize());
}
