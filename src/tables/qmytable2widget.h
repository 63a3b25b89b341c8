#pragma once

#include "qmytablewidget.h"
#include "settingsfile.h"

class FieldBase;

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
    int writeTable(protocolBase &protocol) override;
    int tableNumber() override;
    // The settings file.
    int saveToFile(const QString &path) override;
    int writeTableFile(QTextStream &out) override;
    int parseTableFile(TableLines &lines, const QString &firstLine, PendingLoad &apply) override;
    // Looks at the value column only.
    QTableWidgetItem *findInvalidItem() override;
    // Only the value column shows a field: the one the row names.
    bool fieldAddress(int row, int column, FieldAddress &address) override;
    // Every row is written, changed or not.
    int cellsToWrite() override { return rowCount(); }

protected:
    int loadFile(const QString &path) override;

private:
    // Shows the value in its field's row, when the grid has that row; a read
    // shows its read form.
    void fillRow(FieldBase &value);
    void fillRow(FieldBase &value, const QString &shownText);
    SettingsFile::FillRow rowFiller();
};
