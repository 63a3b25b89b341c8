#pragma once

#include "qmytablewidget.h"

// The settings: the fields of the register's single settings row as a list,
// one grid row per field, with columns field number, width and type, value.
// No change marks: a write sends every row.
class QMyTable2Widget : public QMyTableWidget
{
    Q_OBJECT
public:
    explicit QMyTable2Widget(QWidget *parent = nullptr);

public slots:
    void on_itemChanged(QTableWidgetItem *item) override;

public:
    // Fields 1 to 255 until the register answers -260; a field refused
    // otherwise leaves its row empty.
    int readTable(protocolBase &protocol) override;
    int tableNumber() override;
};
