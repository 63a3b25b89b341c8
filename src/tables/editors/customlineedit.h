#pragma once

#include <QLineEdit>

class QAction;

// The in-place editor of a grid cell: a line edit whose shortcuts and context
// menu insert the characters that stand for special codes of the register's
// code page.
class customLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit customLineEdit(QWidget *parent = nullptr);

protected:
    // Leaves the insert shortcuts to the actions even where the line edit
    // binds them itself (Ctrl+E moves to the end of the line on X11 desktops).
    bool event(QEvent *event) override;
    // The standard menu followed directly by the four insert actions.
    void contextMenuEvent(QContextMenuEvent *event) override;

private slots:
    void insertDblWidthChar();
    void insertDollarChar();
    void insertEuroChar();
    void insertEnDashChar();

private:
    QAction *addInsertAction(const QString &text, const char *shortcut,
                             void (customLineEdit::*slot)());
    bool isInsertShortcut(const QKeyEvent &event) const;

    QAction *dblWidthAction;
    QAction *dollarAction;
    QAction *euroAction;
    QAction *enDashAction;
};
