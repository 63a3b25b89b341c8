#include "customitemdelegate.h"
#include "customlineedit.h"
#include "logcapture.h"
#include "qmytable2widget.h"
#include "tableeditors.h"
#include "testdata.h"

#include <QMenu>

namespace {

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return texts;
}

const QStringList insertActions{"Символ удвоения ширины", "Символ $", "Символ €",
                                "Неразрывное тире"};

} // namespace

class TestCellEditor : public QObject
{
    Q_OBJECT
private slots:
    // The editor holds "ab" with the cursor after "a"; a selection covers "b".
    void shortcutsInsert_data()
    {
        columns<int, int, QString>("key", "selectionLength", "result");
        QTest::newRow("Ctrl+D at the cursor") << int(Qt::Key_D) << 0 << "a»b";
        QTest::newRow("Ctrl+D over the selection") << int(Qt::Key_D) << 1 << "a»";
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << 0 << "a$b";
        QTest::newRow("Ctrl+E over the selection") << int(Qt::Key_E) << 1 << "a€";
        QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << 0 << "a–b";
    }

    void shortcutsInsert()
    {
        const auto [key, selectionLength, result] =
            fetch<int, int, QString>("key", "selectionLength", "result");
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

    void contextMenuEndsWithInsertActions()
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

    void commitMarksChange_data()
    {
        columns<QStringList, int>("edits", "weight");
        QTest::newRow("changed text") << QStringList{"ABD"} << 75;
        QTest::newRow("unchanged text") << QStringList{"ABC"} << 50;
        QTest::newRow("changed, then confirmed unchanged") << QStringList{"ABD", "ABD"} << 50;
    }

    void commitMarksChange()
    {
        const auto [edits, weight] = fetch<QStringList, int>("edits", "weight");
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

    void settingsGridHasNoCellEditor()
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
};

QTEST_MAIN(TestCellEditor)
#include "tst_celleditor.moc"
