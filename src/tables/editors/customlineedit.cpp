#include "customlineedit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <memory>

customLineEdit::customLineEdit(QWidget *parent)
    : QLineEdit(parent), dblWidthAction(addInsertAction(tr("Символ удвоения ширины"), "Ctrl+D",
                                                        &customLineEdit::insertDblWidthChar)),
      dollarAction(addInsertAction(tr("Символ $"), "Ctrl+S", &customLineEdit::insertDollarChar)),
      euroAction(addInsertAction(tr("Символ €"), "Ctrl+E", &customLineEdit::insertEuroChar)),
      enDashAction(
          addInsertAction(tr("Неразрывное тире"), "Ctrl+-", &customLineEdit::insertEnDashChar))
{
}

// Added to the line edit's own actions, so the shortcut works while it is open.
QAction *customLineEdit::addInsertAction(const QString &text, const char *shortcut,
                                         void (customLineEdit::*slot)())
{
    auto *action = new QAction(text, this);
    action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
}

bool customLineEdit::event(QEvent *event)
{
    // An ignored override lets the shortcut map trigger the action.
    if (event->type() == QEvent::ShortcutOverride &&
        isInsertShortcut(*static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

bool customLineEdit::isInsertShortcut(const QKeyEvent &event) const
{
    const QKeySequence pressed(int(event.modifiers()) | event.key());
    for (const QAction *action : {dblWidthAction, dollarAction, euroAction, enDashAction}) {
        if (action->shortcut() == pressed)
            return true;
    }
    return false;
}

void customLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    menu->addActions({dblWidthAction, dollarAction, euroAction, enDashAction});
    menu->exec(event->globalPos());
}

// The register's double-width mark (code 0x09) is shown and edited as "»".
void customLineEdit::insertDblWidthChar()
{
    insert(QString(QChar(0x00BB)));
}

void customLineEdit::insertDollarChar()
{
    insert(QStringLiteral("$"));
}

void customLineEdit::insertEuroChar()
{
    insert(QString(QChar(0x20AC)));
}

void customLineEdit::insertEnDashChar()
{
    insert(QString(QChar(0x2013)));
}
