#pragma once

#include <QWidget>

// A tab page that holds one table editor and remembers its table number, so
// the main window finds the editor of the current tab.
class QTableTab : public QWidget
{
    Q_OBJECT
public:
    explicit QTableTab(int tableNumber) : m_tableNumber(tableNumber) {}
    int tableNumber() const { return m_tableNumber; }

private:
    int m_tableNumber;
};
