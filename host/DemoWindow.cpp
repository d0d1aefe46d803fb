#include "DemoWindow.h"

#include <palletry/Palletry.h>

#include <QDir>
#include <QTabWidget>

DemoWindow::DemoWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_control(new Palletry(this))
{
    setWindowTitle(QStringLiteral("Palletry demo host"));
    setCentralWidget(m_control);
}

QStringList DemoWindow::renderTabs(const QString& dir)
{
    QStringList written;
    // The screen's elements are reachable by their names; the host needs nothing else.
    auto* tabs = m_control->findChild<QTabWidget*>(QStringLiteral("tabPalletry"));
    if (!tabs)
        return written;
    const int current = tabs->currentIndex();
    QDir().mkpath(dir);
    for (int i = 0; i < tabs->count(); ++i) {
        // A tab the clerk may not choose yet is drawn greyed; show each as in use.
        const bool enabled = tabs->isTabEnabled(i);
        tabs->setTabEnabled(i, true);
        tabs->setCurrentIndex(i);
        const QString file = QDir(dir).filePath(QStringLiteral("tab%1.png").arg(i));
        if (m_control->grab().save(file))
            written << file;
        tabs->setCurrentIndex(current);
        tabs->setTabEnabled(i, enabled);
    }
    return written;
}
