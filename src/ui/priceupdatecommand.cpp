#include "priceupdatecommand.h"

#include "errorcode.h"
#include "filedialogs.h"
#include "operationprogress.h"
#include "operationrunner.h"
#include "pricecolumnsdialog.h"
#include "priceupdate.h"
#include "priceupdatedialog.h"
#include "progresspanel.h"
#include "qmytablewidget.h"
#include "registerconnection.h"
#include "tableshape.h"
#include "tabletabs.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {

using TableShape::goodsTable;

} // namespace

PriceUpdateCommand::PriceUpdateCommand(TableTabs &tabs, RegisterConnection &connection,
                                       OperationRunner &runner, ProgressPanel &progressPanel,
                                       OperationProgress &progress, QWidget *window)
    : QObject(window), m_tabs(tabs), m_connection(connection), m_runner(runner),
      m_progressPanel(progressPanel), m_progress(progress), m_window(window)
{
}

QAction *PriceUpdateCommand::addToMenu(QMenu *menu)
{
    QAction *action = menu->addAction(tr("Обновить по &штрихкодам..."), this, [this] {
        m_runner.runTableOperation(
            tr("Обновление по штрихкодам"), [this] { return updateGoods(); }, true);
    });
    action->setObjectName(QStringLiteral("actionUpdateByBarcode"));
    action->setToolTip(tr("Цены, названия, налоги и секции товаров из прайс-листа (CSV, текст "
                          "с табуляциями, .xlsx) по штрихкодам, с просмотром перед применением"));
    return action;
}

// The file's read, the plan and the apply show their progress and stop as a
// load does: stopped, they change nothing. The columns and the preview are
// the user's to cancel, which changes nothing either.
int PriceUpdateCommand::updateGoods()
{
    QMyTableWidget *goods = m_tabs.currentEditor();
    if (!goods || goods->tableNumber() != goodsTable)
        return ERR_WRONG_TABLE_NUMBER;
    const QString path = FileDialogs::askOpen(
        m_window, tr("Прайс-лист"), tr("Прайс-листы (*.xlsx *.csv *.txt *.tsv);;Все файлы (*)"));
    if (path.isEmpty())
        return ERR_CANCELLED;
    const FileEventPoint eventPoint = [this](qint64 done) { return m_progress.eventPoint(done); };
    SheetRows rows;
    QString why;
    m_progressPanel.start(ProgressText::Work::RecordsLoaded, QFileInfo(path).size(), true);
    int result = PriceList::read(path, rows, why, eventPoint);
    m_progressPanel.finish(result == ERR_OK ? rows.size() : 0, result);
    PriceColumns columns = PriceList::findColumns(rows);
    if (result == ERR_OK && columns.headerRow < 0) {
        why = tr("В файле нет ни одной строки с данными.");
        result = ERR_INVALID_DATA;
    }
    if (result != ERR_OK) {
        m_connection.setFailureDetails(why);
        return result;
    }
    if (!columns.complete()) {
        PriceColumnsDialog choice(columns, rows[columns.headerRow],
                                  rows.value(columns.headerRow + 1), m_window);
        if (choice.exec() != QDialog::Accepted)
            return ERR_CANCELLED;
        columns = choice.columns();
    }
    m_progressPanel.start(ProgressText::Work::RowsPlanned, rows.size(), true);
    auto plan = std::make_unique<PriceUpdate>(goods->data(), rows, columns, false, eventPoint);
    const bool planned = !plan->stopped();
    m_progressPanel.finish(planned ? rows.size() : 0, planned ? ERR_OK : ERR_CANCELLED);
    if (!planned)
        return ERR_CANCELLED;
    PriceUpdateDialog preview(goods->data(), rows, columns, std::move(plan), m_window);
    if (preview.exec() != QDialog::Accepted)
        return ERR_CANCELLED;
    QVector<CellText> texts;
    texts.reserve(preview.update().changes().size());
    for (const PriceChange &change : preview.update().changes())
        texts.append({change.record, change.column, change.after});
    m_progressPanel.start(ProgressText::Work::FieldsChanged, texts.size(), true);
    const bool applied = goods->putTexts(texts, preview.update().stepName(), eventPoint);
    m_progressPanel.finish(applied ? texts.size() : 0, applied ? ERR_OK : ERR_CANCELLED);
    return applied ? ERR_OK : ERR_CANCELLED;
}
