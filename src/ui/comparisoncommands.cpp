#include "comparisoncommands.h"

#include "cellmarks.h"
#include "elidinglabel.h"
#include "errorcode.h"
#include "filedialogs.h"
#include "memorytable.h"
#include "menuactions.h"
#include "operationprogress.h"
#include "operationrunner.h"
#include "progresspanel.h"
#include "registerconnection.h"
#include "tableeditors.h"
#include "tablefile.h"
#include "tableoperations.h"
#include "tabletabs.h"

#include <QDebug>
#include <QFileInfo>

ComparisonCommands::ComparisonCommands(TableTabs &tabs, RegisterConnection &connection,
                                       OperationRunner &runner, ProgressPanel &progressPanel,
                                       OperationProgress &progress, QWidget *window)
    : QObject(window), m_tabs(tabs), m_connection(connection), m_runner(runner),
      m_progressPanel(progressPanel), m_progress(progress), m_window(window),
      m_comparisonLabel(new ElidingLabel(window))
{
    m_comparisonLabel->setObjectName(QStringLiteral("comparisonLabel"));
}

QList<QAction *> ComparisonCommands::addToMenu(QMenu *menu)
{
    const QList<QAction *> comparing = {
        MenuActions::add(menu, tr("Сравнить с &файлом..."), "actionCompareWithFile", {}, this,
                         &ComparisonCommands::compareWithFile),
        MenuActions::add(menu, tr("Сравнить с &ККТ"), "actionCompareWithRegister", {}, this,
                         &ComparisonCommands::compareWithRegister),
        MenuActions::add(menu, tr("С&ледующее различие"), "actionNextDifference",
                         QKeySequence(Qt::Key_F3), this, &ComparisonCommands::goToNextDifference),
        MenuActions::add(menu, tr("Пр&едыдущее различие"), "actionPreviousDifference",
                         QKeySequence(Qt::SHIFT + Qt::Key_F3), this,
                         &ComparisonCommands::goToPreviousDifference),
        MenuActions::add(menu, tr("&Убрать сравнение"), "actionClearComparison", {}, this,
                         &ComparisonCommands::clearComparison)};
    // Where the differences are looked at, the grid offers them too.
    for (QMyTableWidget *editor : m_tabs.editors()) {
        editor->setContextMenuPolicy(Qt::ActionsContextMenu);
        editor->addActions(comparing);
    }
    return {comparing.at(0), comparing.at(1)};
}

void ComparisonCommands::compareWithFile()
{
    m_runner.runTableOperation(
        tr("Сравнение с файлом"), [this] { return compareCurrentWithFile(); }, false);
}

void ComparisonCommands::compareWithRegister()
{
    m_runner.runTableOperation(
        tr("Сравнение с ККТ"), [this] { return compareCurrentWithRegister(); }, false);
}

int ComparisonCommands::compareCurrentWithFile()
{
    QMyTableWidget *editor = m_tabs.currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    const QString path =
        FileDialogs::askOpen(m_window, tr("Сравнить с файлом"), editor->fileFilter());
    if (path.isEmpty())
        return ERR_CANCELLED;
    MemoryTable other(editor->tableNumber());
    // As a load, with its progress and "Прервать"; a stop changes nothing.
    m_progressPanel.start(ProgressText::Work::RecordsLoaded, QFileInfo(path).size(), true);
    QString why;
    const int result = TableFile::load(
        other, path, [this](qint64 done) { return m_progress.eventPoint(done); },
        [this](qint64 records) {
            m_progress.startStage(records, ProgressText::Work::RecordsPlaced);
        },
        &why);
    m_connection.setFailureDetails(why);
    m_progressPanel.finish(result == ERR_OK ? other.rowCount() : 0, result);
    if (result == ERR_OK)
        showComparison(editor, other, QFileInfo(path).fileName());
    return result;
}

// The register's table goes into memory: the grid keeps its values.
int ComparisonCommands::compareCurrentWithRegister()
{
    QMyTableWidget *editor = m_tabs.currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    MemoryTable other(editor->tableNumber());
    const int result = m_connection.withOpenPort(
        [this, &other] {
            return TableOperations::readTable(m_connection.protocol(), other, &m_progress);
        },
        ProgressText::Work::RecordsRead, -1, [&other] { return other.rowCount(); });
    // Half a table would count every row not yet read as a difference.
    if (result == ERR_OK)
        showComparison(editor, other, QString());
    return result;
}

void ComparisonCommands::showComparison(QMyTableWidget *editor, const TableData &other,
                                        const QString &fileName)
{
    editor->compareWith(other);
    m_comparisonSources.insert(editor, fileName);
    const TableComparison *comparison = editor->comparison();
    qDebug().noquote() << "MainWindow: table" << editor->tableNumber() << "compared with"
                       << (fileName.isEmpty() ? QStringLiteral("the register") : fileName) << ":"
                       << comparison->differentCells() << "cells," << comparison->rowsOnlyInTable()
                       << "rows only in the grid," << comparison->rowsOnlyInOther()
                       << "rows only in the other";
    updateComparisonLabel();
    editor->setCurrentCell(-1, -1);
    goToNextDifference();
}

void ComparisonCommands::clearComparison()
{
    if (QMyTableWidget *editor = m_tabs.currentEditor())
        editor->clearComparison();
    updateComparisonLabel();
}

void ComparisonCommands::goToNextDifference()
{
    goToDifference(true);
}

void ComparisonCommands::goToPreviousDifference()
{
    goToDifference(false);
}

void ComparisonCommands::goToDifference(bool forward)
{
    QMyTableWidget *editor = m_tabs.currentEditor();
    if (!editor || !editor->comparison())
        return;
    const QModelIndex current = editor->currentIndex();
    int row = current.isValid() ? current.row() : -1;
    int column = current.isValid() ? current.column() : -1;
    if (TableComparison::nextDifference(editor->data(), row, column, forward)) {
        QTableWidgetItem *next = editor->item(row, column);
        editor->setCurrentItem(next);
        editor->scrollToItem(next);
    }
}

void ComparisonCommands::updateComparisonLabel()
{
    QMyTableWidget *editor = m_tabs.currentEditor();
    const TableComparison *comparison = editor ? editor->comparison() : nullptr;
    if (!comparison) {
        m_comparisonLabel->hide();
        return;
    }
    const QString fileName = m_comparisonSources.value(editor);
    const bool withRegister = fileName.isEmpty();
    const QString with = withRegister ? tr("ККТ") : tr("файлом");
    const int remaining = comparison->remaining(editor->data());
    QString text = remaining == 0 ? tr("Нет различий с %1").arg(with)
                                  : tr("Различий с %1: %2").arg(with).arg(remaining);
    QStringList rows;
    if (comparison->rowsOnlyInOther() > 0)
        rows << (withRegister ? tr("строк только в ККТ: %1") : tr("строк только в файле: %1"))
                    .arg(comparison->rowsOnlyInOther());
    if (comparison->rowsOnlyInTable() > 0)
        rows << tr("строк только в таблице: %1").arg(comparison->rowsOnlyInTable());
    if (!rows.isEmpty())
        text += QStringLiteral(" (") + rows.join(QStringLiteral(", ")) + QLatin1Char(')');
    m_comparisonLabel->setFullText(text);
    m_comparisonLabel->setNote(
        (withRegister ? tr("Сравнение с таблицей, прочитанной из ККТ")
                      : tr("Сравнение с файлом %1").arg(fileName)) +
        tr(".\nРазличия выделены цветом; F3 и Shift+F3 переходят к следующему и предыдущему."));
    m_comparisonLabel->setStyleSheet(
        QStringLiteral("QLabel { background-color : %1; color : black; }")
            .arg(CellMarks::highlightColor(CellMarks::Highlight::Difference).name()));
    m_comparisonLabel->show();
}

void ComparisonCommands::endRegisterComparisons()
{
    for (QMyTableWidget *editor : m_tabs.editors()) {
        if (editor->comparison() && m_comparisonSources.value(editor).isEmpty())
            editor->clearComparison();
    }
    updateComparisonLabel();
}
