#include "windowlayout.h"

#include "preferences.h"
#include "qmytablewidget.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QPushButton>

namespace WindowLayout {

namespace {

QByteArray columnsKey(int table)
{
    return QByteArrayLiteral("columns/table") + QByteArray::number(table);
}

} // namespace

void fitButtons(QMainWindow &window, const QList<QPushButton *> &buttons)
{
    for (QPushButton *button : buttons) {
        const int needed = button->sizeHint().width();
        button->setMinimumWidth(qMax(button->minimumWidth(), needed));
        button->setMaximumWidth(qMax(button->maximumWidth(), needed));
    }
    // No narrower than the form's controls side by side, so that none covers another.
    const int controls = window.centralWidget()->minimumSizeHint().width();
    window.setMinimumWidth(qMax(window.minimumWidth(), controls));
    window.resize(window.size().expandedTo(window.minimumSizeHint()));
}

void restore(QMainWindow &window, const QMap<int, QMyTableWidget *> &editors)
{
    window.restoreGeometry(Preferences::value(Preferences::WindowGeometry).toByteArray());
    for (auto editor = editors.cbegin(); editor != editors.cend(); ++editor) {
        const QByteArray state =
            Preferences::value(columnsKey(editor.key()).constData()).toByteArray();
        if (!state.isEmpty())
            editor.value()->horizontalHeader()->restoreState(state);
    }
}

void remember(const QMainWindow &window, const QMap<int, QMyTableWidget *> &editors)
{
    Preferences::setValue(Preferences::WindowGeometry, window.saveGeometry());
    for (auto editor = editors.cbegin(); editor != editors.cend(); ++editor)
        Preferences::setValue(columnsKey(editor.key()).constData(),
                              editor.value()->horizontalHeader()->saveState());
}

} // namespace WindowLayout
