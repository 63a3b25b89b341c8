#include "tabletabs.h"

#include "gridhistory.h"
#include "progresstext.h"
#include "qtabletab.h"
#include "rowfinder.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tableshape.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

namespace {

using TableShape::goodsTable;

} // namespace

TableTabs::TableTabs(QTabWidget *tabWidget, OperationProgress &progress, QWidget *window)
    : QObject(window), m_tabWidget(tabWidget), m_progress(progress), m_window(window),
      m_history(new GridHistory(this)), m_modifiedCheck(new QTimer(this))
{
    m_modifiedCheck->setSingleShot(true);
    // A paste marks cells changed without the cell editor.
    connect(m_history, &GridHistory::changed, m_modifiedCheck, qOverload<>(&QTimer::start));
    connect(m_modifiedCheck, &QTimer::timeout, this, [this] {
        updateModifiedMarker();
        emit cellsEdited();
    });
}

void TableTabs::createTableTabs()
{
    int position = 0;
    for (int table : TableCatalogue::numbers())
        addTableTab(createTableEditor(table), TableCatalogue::find(table)->caption, position++);
}

void TableTabs::addTableTab(QMyTableWidget *editor, const QString &caption, int position)
{
    auto *layout = new QGridLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    auto *page = new QTableTab(editor->tableNumber());
    page->setLayout(layout);
    // The goods are found by barcode or name (Ctrl+F).
    if (editor->tableNumber() == goodsTable) {
        m_goodsFinder = new RowFinder(*editor, {1, 0}, page);
        layout->addWidget(m_goodsFinder);
    }
    layout->addWidget(editor);
    m_tabWidget->insertTab(position, page, caption);
    m_editorsByTable.insert(editor->tableNumber(), editor);
    editor->setOperationProgress(&m_progress);
    editor->setHistory(m_history);
    // An edit may mark a cell changed or take the mark away.
    connect(editor->itemDelegate(), &QAbstractItemDelegate::commitData, this,
            [this] { m_modifiedCheck->start(); });
}

QMyTableWidget *TableTabs::currentEditor() const
{
    const auto *page = qobject_cast<QTableTab *>(m_tabWidget->currentWidget());
    return page ? m_editorsByTable.value(page->tableNumber()) : nullptr;
}

void TableTabs::openGoodsFinder()
{
    if (currentEditor() && currentEditor()->tableNumber() == goodsTable)
        m_goodsFinder->open();
}

// Asked only when there is an edit to lose.
bool TableTabs::confirmDroppingEdits(const QList<QMyTableWidget *> &editors)
{
    const bool edited = std::any_of(editors.begin(), editors.end(), [](QMyTableWidget *editor) {
        return editor->hasChangedCells();
    });
    if (!edited)
        return true;
    const auto answer =
        QMessageBox::warning(m_window, tr("Внимание"),
                             tr("Есть незаписанные изменения. Они будут потеряны.\nПродолжить?"),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

bool TableTabs::confirmSavingIncomplete(QMyTableWidget *editor)
{
    const auto answer = QMessageBox::warning(
        m_window, tr("Внимание"),
        tr("Таблица прочитана не полностью (%1).\nСохранить её в файл?")
            .arg(ProgressText::done(ProgressText::Work::RecordsRead, editor->rowCount()).toLower()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

// A mark on the table's tab, whose caption stays as it is.
void TableTabs::setIncomplete(QMyTableWidget *editor, bool incomplete)
{
    const int tab = m_tabWidget->indexOf(editor->parentWidget());
    if (incomplete) {
        m_incompleteEditors.insert(editor);
        m_tabWidget->setTabIcon(tab, m_window->style()->standardIcon(QStyle::SP_MessageBoxWarning));
        m_tabWidget->setTabToolTip(
            tab, tr("Таблица прочитана не полностью: в ней только строки, полученные до "
                    "остановки чтения"));
    } else {
        m_incompleteEditors.remove(editor);
        m_tabWidget->setTabIcon(tab, QIcon());
        m_tabWidget->setTabToolTip(tab, QString());
    }
}

void TableTabs::updateModifiedMarker()
{
    const bool modified =
        std::any_of(m_editorsByTable.cbegin(), m_editorsByTable.cend(),
                    [](QMyTableWidget *editor) { return editor && editor->hasChangedCells(); });
    // The marker's placeholder only while there is something to mark, so that
    // the title is exactly the program's name otherwise.
    m_window->setWindowTitle(modified ? tr("Morvell") + QStringLiteral("[*]") : tr("Morvell"));
    m_window->setWindowModified(modified);
}
