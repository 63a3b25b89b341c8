#pragma once

#include "pricelist.h"

#include <QDialog>

#include <memory>

class PriceUpdate;
class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TableData;
class TextRowsModel;

// What a price list changes in the goods, before it is applied: the changes,
// the list's barcodes the register lacks, the register's barcodes present
// twice and the values no field takes, each in a tab of its own with its
// count. "Добавить новые" plans the unknown goods into the empty records.
class PriceUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    // Shows the plan made of the rows and columns without adding new goods;
    // "Добавить новые" plans them again.
    PriceUpdateDialog(const TableData &goods, const SheetRows &rows, const PriceColumns &columns,
                      std::unique_ptr<PriceUpdate> plan, QWidget *parent);
    ~PriceUpdateDialog() override;

    // The plan as last shown.
    const PriceUpdate &update() const { return *m_update; }

private:
    void plan();
    void showPlan();
    void addTab(TextRowsModel *model);

    const TableData &m_goods;
    const SheetRows &m_rows;
    const PriceColumns m_columns;
    std::unique_ptr<PriceUpdate> m_update;
    QLabel *m_summary;
    QCheckBox *m_addNew;
    QTabWidget *m_tabs;
    TextRowsModel *m_changes;
    TextRowsModel *m_unknown;
    TextRowsModel *m_duplicates;
    TextRowsModel *m_invalid;
    QPushButton *m_apply;
};
