#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>

class GridHistory;
class OperationProgress;
class QMyTableWidget;
class QTabWidget;
class QTimer;
class QWidget;
class RowFinder;

// The window's tabs of the register's tables, an editor in each: which of
// them hold a table read only in part, the title's marker of unsaved edits,
// and the questions asked before such edits are lost.
class TableTabs : public QObject
{
    Q_OBJECT
public:
    TableTabs(QTabWidget *tabWidget, OperationProgress &progress, QWidget *window);

    // Not in the constructor: adding the first tab makes it current, and the
    // window, told so, asks this object for the current editor.
    void createTableTabs();
    const QMap<int, QMyTableWidget *> &editors() const { return m_editorsByTable; }
    // Null while the current tab holds no table.
    QMyTableWidget *currentEditor() const;
    // The steps to undo of every grid's changes.
    GridHistory &history() const { return *m_history; }
    // Only while the goods' tab is current.
    void openGoodsFinder();

    // True when none of the editors has unsaved edits, or the user agrees to lose them.
    bool confirmDroppingEdits(const QList<QMyTableWidget *> &editors);
    bool confirmSavingIncomplete(QMyTableWidget *editor);
    // Marks a table whose read stopped early, until a read or load completes it.
    void setIncomplete(QMyTableWidget *editor, bool incomplete);
    bool isIncomplete(QMyTableWidget *editor) const { return m_incompleteEditors.contains(editor); }
    // The title's modified marker while any table has unsaved edits.
    void updateModifiedMarker();

signals:
    // Once after a run of cell edits, with the title's marker already updated.
    void cellsEdited();

private:
    void addTableTab(QMyTableWidget *editor, const QString &caption, int position);

    QTabWidget *m_tabWidget;
    OperationProgress &m_progress;
    QWidget *m_window;
    QMap<int, QMyTableWidget *> m_editorsByTable;
    RowFinder *m_goodsFinder = nullptr;
    QSet<QMyTableWidget *> m_incompleteEditors;
    GridHistory *m_history;
    // Coalesces the checks for unsaved edits after cell edits.
    QTimer *m_modifiedCheck;
};
