#include "customitemdelegate.h"
#include "customlineedit.h"
#include "logcapture.h"
#include "qmytable2widget.h"
#include "tableeditors.h"

#include <QMenu>
#include <QtTest>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return texts;
}

const QStringList insertActions{u("Символ удвоения ширины"), u("Символ $"), u("Символ €"),
                                u("Неразрывное тире")};

} // namespace

class TestCellEditor : public QObject
{
    Q_OBJECT
private slots:
    void shortcutsInsert_data();
    void shortcutsInsert();
    void contextMenuEndsWithInsertActions();
    void commitMarksChange_data();
    void commitMarksChange();
    void settingsGridHasNoCellEditor();
};

void TestCellEditor::shortcutsInsert_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("result");

    // The editor holds "ab" with the cursor after "a"; a selection covers "b".
    QTest::newRow("Ctrl+D at the cursor") << int(Qt::Key_D) << 0 << u("a»b");
    QTest::newRow("Ctrl+D over the selection") << int(Qt::Key_D) << 1 << u("a»");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << 0 << u("a$b");
    QTest::newRow("Ctrl+E over the selection") << int(Qt::Key_E) << 1 << u("a€");
    QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << 0 << u("a–b");
}

void TestCellEditor::shortcutsInsert()
{
    QFETCH(int, key);
    QFETCH(int, selectionLength);
    QFETCH(QString, result);

    // The editor as a grid opens it, inside the table's viewport.
    QMyTable5Widget grid;
    grid.setRowCount(1);
    grid.setItem(0, 0, new QTableWidgetItem(QStringLiteral("ab"), 40));
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QApplication::setActiveWindow(&grid);
    grid.editItem(grid.item(0, 0));
    auto *editor = grid.findChild<customLineEdit *>();
    QVERIFY(editor);
    editor->setFocus();
    editor->setSelection(1, selectionLength);
    if (selectionLength == 0)
        editor->setCursorPosition(1);
    QTest::keyClick(editor, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(editor->text(), result);
}

void TestCellEditor::contextMenuEndsWithInsertActions()
{
    customLineEdit editor;
    editor.show();
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        entries = actionTexts(menu->actions());
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), editor.mapToGlobal({5, 5}));
    QApplication::sendEvent(&editor, &event);

    QVERIFY(entries.size() > insertActions.size() + 1);
    QCOMPARE(entries.mid(entries.size() - insertActions.size()), insertActions);
    QVERIFY(entries.at(entries.size() - insertActions.size() - 1) != QStringLiteral("|"));
}

void TestCellEditor::commitMarksChange_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("weight");

    QTest::newRow("changed text") << QStringList{"ABD"} << 75;
    QTest::newRow("unchanged text") << QStringList{"ABC"} << 50;
    QTest::newRow("changed, then confirmed unchanged") << QStringList{"ABD", "ABD"} << 50;
}

void TestCellEditor::commitMarksChange()
{
    QFETCH(QStringList, edits);
    QFETCH(int, weight);

    QMyTable5Widget grid;
    grid.setRowCount(1);
    grid.setItem(0, 0, new QTableWidgetItem(QStringLiteral("ABC"), 40));
    const QModelIndex index = grid.model()->index(0, 0);
    LogCapture log;
    for (const QString &text : edits) {
        QWidget *editor = grid.itemDelegate()->createEditor(grid.viewport(), {}, index);
        grid.itemDelegate()->setEditorData(editor, index);
        qobject_cast<QLineEdit *>(editor)->setText(text);
        grid.itemDelegate()->setModelData(editor, grid.model(), index);
        delete editor;
    }
    QCOMPARE(grid.item(0, 0)->text(), edits.last());
    QCOMPARE(grid.item(0, 0)->font().weight(), weight);
    QCOMPARE(log.lines().filter(QStringLiteral("customItemDelegate::setModelData")).size(),
             edits.size());
}

void TestCellEditor::settingsGridHasNoCellEditor()
{
    QMyTable2Widget grid;
    grid.setRowCount(1);
    grid.setItem(0, 2, new QTableWidgetItem(QStringLiteral("1"), 1));
    const QModelIndex index = grid.model()->index(0, 2);
    QWidget *editor = grid.itemDelegate()->createEditor(grid.viewport(), {}, index);
    QVERIFY(!qobject_cast<customLineEdit *>(editor));
    QVERIFY(!actionTexts(editor->actions()).contains(insertActions.first()));
    qobject_cast<QLineEdit *>(editor)->setText(QStringLiteral("2"));
    grid.itemDelegate()->setModelData(editor, grid.model(), index);
    QCOMPARE(grid.item(0, 2)->text(), QStringLiteral("2"));
    QCOMPARE(grid.model()->data(index, Qt::FontRole), QVariant());
    delete editor;
}

QTEST_MAIN(TestCellEditor)
#include "tst_celleditor.moc"
