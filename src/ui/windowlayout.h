#pragma once

#include <QList>
#include <QMap>

class QMainWindow;
class QMyTableWidget;
class QPushButton;

// The window's size, position and column widths, kept from one run to the
// next, and the buttons' captions, never clipped.
namespace WindowLayout {

// Widens the buttons whose caption the form's widths would clip in the
// current font, and the window to hold them; the window can be made no
// narrower than its controls need.
void fitButtons(QMainWindow &window, const QList<QPushButton *> &buttons);
void restore(QMainWindow &window, const QMap<int, QMyTableWidget *> &editors);
void remember(const QMainWindow &window, const QMap<int, QMyTableWidget *> &editors);

} // namespace WindowLayout
