#pragma once

#include <QObject>

class OperationProgress;
class OperationRunner;
class ProgressPanel;
class QAction;
class QMenu;
class QWidget;
class RegisterConnection;
class TableTabs;

// "Обновить по штрихкодам...": a price list's prices, names, tax numbers and
// sections put into the goods grid by barcode, after a preview, as one step
// to undo.
class PriceUpdateCommand : public QObject
{
    Q_OBJECT
public:
    PriceUpdateCommand(TableTabs &tabs, RegisterConnection &connection, OperationRunner &runner,
                       ProgressPanel &progressPanel, OperationProgress &progress, QWidget *window);

    // The command, for the window to enable on the goods' page only.
    QAction *addToMenu(QMenu *menu);

private:
    int updateGoods();

    TableTabs &m_tabs;
    RegisterConnection &m_connection;
    OperationRunner &m_runner;
    ProgressPanel &m_progressPanel;
    OperationProgress &m_progress;
    QWidget *m_window;
};
