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
    QDir().mkpath(dir);
    for (int i = 0; i < tabs->count(); ++i) {
        const QString file = QDir(dir).filePath(QStringLiteral("tab%1.png").arg(i));
        if (renderTab(i, file))
            written << file;
    }
    return written;
}

bool DemoWindow::renderTab(int index, const QString& file)
{
    auto* tabs = m_control->findChild<QTabWidget*>(QStringLiteral("tabPalletry"));
    if (!tabs)
        return false;
    const int current = tabs->currentIndex();
    // A tab the clerk may not choose yet is drawn greyed; show it as in use.
    const bool enabled = tabs->isTabEnabled(index);
    tabs->setTabEnabled(index, true);
    tabs->setCurrentIndex(index);
    const bool saved = m_control->grab().save(file);
    tabs->setCurrentIndex(current);
    tabs->setTabEnabled(index, enabled);
    return saved;
}
