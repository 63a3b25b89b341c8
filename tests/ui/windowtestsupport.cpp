#include "windowtestsupport.h"

#include "cellmarks.h"
#include "driverregistration.h"
#include "modalanswer.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "qtabletab.h"

#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

void answerMessageBox(ModalSeen *seen, QMessageBox::StandardButton button, QWidget *window,
                      const QList<QPair<ModalSeen *, QMessageBox::StandardButton>> &next)
{
    answerNextModal<QMessageBox>([=](QMessageBox *box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->informativeText = box->informativeText();
        seen->readEnabled = window->findChild<QPushButton *>("pbRead")->isEnabled();
        if (!next.isEmpty())
            answerMessageBox(next.first().first, next.first().second, window, next.mid(1));
        box->button(button)->click();
    });
}

void answerFileDialog(const QString &path, const QString &filter, QString *suggested)
{
    answerNextModal<QFileDialog>([=](QFileDialog *dialog) {
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (suggested)
            *suggested = QDir(dialog->directory()).filePath(nameEdit->text());
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        // Typed rather than selected: selection waits for the directory listing.
        nameEdit->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void answerPathDialog(const QString &path)
{
    answerNextModal<QInputDialog>([=](QInputDialog *dialog) {
        dialog->setTextValue(path);
        dialog->accept();
    });
}

WhenDuringOperation::WhenDuringOperation(std::function<bool()> condition,
                                         std::function<void()> action)
    : m_condition(std::move(condition)), m_action(std::move(action))
{
    startTimer(1);
}

void WhenDuringOperation::timerEvent(QTimerEvent *event)
{
    if (m_happened || !m_condition())
        return;
    m_happened = true;
    killTimer(event->timerId());
    m_action();
}

void NoMessageBox::timerEvent(QTimerEvent *)
{
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        seen = box->text();
        box->done(QMessageBox::No);
    }
}

int boldCells(const QTableWidget &grid)
{
    int count = 0;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column)
            count += grid.item(row, column) && CellMarks::isChanged(*grid.item(row, column));
    }
    return count;
}

QTabWidget *WindowTest::tabs()
{
    return child<QTabWidget>("tabWidget");
}

QComboBox *WindowTest::ports()
{
    return child<QComboBox>("cbPorts");
}

QLabel *WindowTest::statusLabel(int index)
{
    return window->statusBar()->findChildren<QLabel *>().at(index);
}

QLabel *WindowTest::progressLabel()
{
    return child<QLabel>("progressLabel");
}

QMyTableWidget *WindowTest::currentEditor()
{
    return tabs()->currentWidget()->findChild<QMyTableWidget *>();
}

void WindowTest::click(const char *button)
{
    child<QPushButton>(button)->click();
}

void WindowTest::typePort(const QString &path)
{
    answerPathDialog(path);
    const int other = ports()->count() - 1;
    QVERIFY(isOtherPortEntry(ports(), other));
    ports()->setCurrentIndex(other);
    emit ports()->activated(other);
}

void WindowTest::selectTable(int table)
{
    for (int index = 0; index < tabs()->count(); ++index) {
        auto *page = qobject_cast<QTableTab *>(tabs()->widget(index));
        if (page && page->tableNumber() == table)
            return tabs()->setCurrentIndex(index);
    }
    QFAIL("no such table tab");
}

void WindowTest::editCell(int row, int column, const QString &text)
{
    QMyTableWidget *editor = currentEditor();
    editor->editItem(editor->item(row, column));
    auto *cellEditor = editor->findChild<QLineEdit *>();
    QVERIFY(cellEditor);
    cellEditor->setText(text);
    emit editor->itemDelegate()->commitData(cellEditor);
    emit editor->itemDelegate()->closeEditor(cellEditor);
    // The closed editor is deleted later; gone now, it cannot be taken for the next one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowTest::openWindow()
{
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void WindowTest::initTestCase()
{
    // Run by hand, a test must not clear the user's own settings.
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        qputenv("XDG_CONFIG_HOME",
                QDir::temp().filePath(QStringLiteral("morvell-test-config")).toLocal8Bit());
    registerDriverComponent();
}

void WindowTest::init()
{
    QSettings(QStringLiteral("Korvan"), QStringLiteral("Morvell")).clear();
    openWindow();
}

void WindowTest::cleanup()
{
    delete window;
    window = nullptr;
}
