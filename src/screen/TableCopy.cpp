#include "screen/TableCopy.h"

#include "core/SheetCell.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace palletry {

QString TableCopy::tabSeparated(const std::vector<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& value : row) {
            QString cell = sheetCellText(value);
            for (QChar& c : cell)
                if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                    c = QLatin1Char(' ');
            cells << cell;
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void TableCopy::install(QAbstractItemView* view, std::function<QString()> text)
{
    auto* copy = new QAction(tr("&Copy"), view);
    copy->setObjectName(QStringLiteral("actionCopy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, view,
                     [text = std::move(text)] { QGuiApplication::clipboard()->setText(text()); });
    view->addAction(copy);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
}

} // namespace palletry
