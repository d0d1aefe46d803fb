#pragma once

#include <QMainWindow>

class Palletry;

/// The demo's main window: one Palletry control, nothing else.
class DemoWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DemoWindow(QWidget* parent = nullptr);

    Palletry* control() const { return m_control; }

    /// Renders each tab of the control to "<dir>/tab<N>.png"; returns the files written.
    QStringList renderTabs(const QString& dir);
    /// Renders tab @p index to @p file as in use; false when it could not be written.
    bool renderTab(int index, const QString& file);

private:
    Palletry* m_control;
};
