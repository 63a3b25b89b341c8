#pragma once

#include "mainwindow.h"

#include <QMessageBox>
#include <QObject>

#include <functional>

class QComboBox;
class QLabel;
class QMyTableWidget;
class QTableWidget;
class QTabWidget;

// What a message box said, and whether the operation buttons were disabled meanwhile.
struct ModalSeen
{
    QString title;
    QString text;
    QString informativeText;
    bool readEnabled = true;
};

// Answers the next message box with the given button and records what it said;
// then, as long as there are more, the boxes after it.
void answerMessageBox(ModalSeen *seen, QMessageBox::StandardButton button, QWidget *window,
                      const QList<QPair<ModalSeen *, QMessageBox::StandardButton>> &next = {});
// Answers the next file dialog with a path, or cancels it for an empty one;
// with the filter chosen first, if given. suggested, if given, receives the
// path the dialog offered.
void answerFileDialog(const QString &path, const QString &filter = QString(),
                      QString *suggested = nullptr);
// Answers the dialog of "Другой порт..." with a path.
void answerPathDialog(const QString &path);

// Polls while an operation runs and, once condition holds, does what the
// user does; then stops.
class WhenDuringOperation : public QObject
{
public:
    WhenDuringOperation(std::function<bool()> condition, std::function<void()> action);
    bool happened() const { return m_happened; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    std::function<bool()> m_condition;
    std::function<void()> m_action;
    bool m_happened = false;
};

// Closes any message box that comes up, keeping its text for the test to see.
class NoMessageBox : public QObject
{
public:
    NoMessageBox() { startTimer(5); }
    QString seen;

protected:
    void timerEvent(QTimerEvent *) override;
};

// The cells marked changed, which the next write sends.
int boldCells(const QTableWidget &grid);

// A test of the main window: a new window for every test function, with no
// settings remembered from earlier runs, and the user's ways into it.
class WindowTest : public QObject
{
    Q_OBJECT
protected:
    MainWindow *window = nullptr;

    template <typename T> T *child(const char *name) { return window->findChild<T *>(name); }
    QTabWidget *tabs();
    QComboBox *ports();
    // 0: port, 1: operation, 2: version.
    QLabel *statusLabel(int index);
    QLabel *progressLabel();
    QMyTableWidget *currentEditor();
    void click(const char *button);
    // Chooses "Другой порт..." as the user does and types the path.
    void typePort(const QString &path);
    void selectTable(int table);
    // Edits the cell in the cell editor and commits it as Enter does.
    void editCell(int row, int column, const QString &text);
    void openWindow();

protected slots:
    void initTestCase();
    void init();
    void cleanup();
};
