#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace palletry {

/**
 * The panel that tells the clerk what the control is waiting for while a call
 * to the service is in flight, with its time so far and a Cancel button. It
 * lies over the middle of the control and is hidden until shown.
 */
class CallProgress : public QFrame
{
    Q_OBJECT

public:
    explicit CallProgress(QWidget* control);

    /// Shows @p what and the whole seconds @p seconds waited so far, over the control.
    void showWaiting(const QString& what, qint64 seconds);
    /// After Cancel: the call is being stopped.
    void showCancelling();
    /// The button's caption in the language now installed.
    void retranslate();

    QLabel* lblCallProgress;
    QPushButton* cmdCancelCall;

signals:
    void cancelClicked();

private:
    void place();
};

} // namespace palletry
