#include "screen/CallProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace palletry {

CallProgress::CallProgress(QWidget* control)
    : QFrame(control)
    , lblCallProgress(new QLabel(this))
    , cmdCancelCall(new QPushButton(this))
{
    setObjectName(QStringLiteral("fraCallProgress"));
    lblCallProgress->setObjectName(QStringLiteral("lblCallProgress"));
    cmdCancelCall->setObjectName(QStringLiteral("cmdCancelCall"));
    cmdCancelCall->setAutoDefault(false);
    retranslate();
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lblCallProgress, 1);
    layout->addWidget(cmdCancelCall);
    connect(cmdCancelCall, &QPushButton::clicked, this, &CallProgress::cancelClicked);
    hide();
}

void CallProgress::showWaiting(const QString& what, qint64 seconds)
{
    lblCallProgress->setText(tr("%1 %2 s").arg(what).arg(seconds));
    cmdCancelCall->setEnabled(true);
    if (!isVisible())
        place();
}

void CallProgress::showCancelling()
{
    lblCallProgress->setText(tr("Cancelling…"));
    cmdCancelCall->setEnabled(false);
}

void CallProgress::retranslate()
{
    cmdCancelCall->setText(tr("Cancel"));
    // Spoken apart from the entry panels' own "Cancel", which the panel may lie over.
    cmdCancelCall->setAccessibleName(tr("Cancel the call"));
}

void CallProgress::place()
{
    const QWidget* control = parentWidget();
    const int width = qMin(control->width() - 16, 440);
    const int height = sizeHint().height();
    setGeometry((control->width() - width) / 2, (control->height() - height) / 2, width, height);
    raise();
    show();
}

} // namespace palletry
