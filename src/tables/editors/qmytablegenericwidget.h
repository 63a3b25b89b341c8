#pragma once

#include "qmytablewidget.h"
#include "tablecolumns.h"

// The editor of the row-per-record tables: grid row r shows register row
// r + 1, grid column c its field c + 1. Cells are edited with
// customItemDelegate, which marks changed cells for the next write.
class QMyTableGenericWidget : public QMyTableWidget
{
    Q_OBJECT
public:
    explicit QMyTableGenericWidget(QWidget *parent = nullptr);

public slots:
    // Colours the cell white or red by whether its field type accepts its text.
    void on_itemChanged(QTableWidgetItem *item) override;

public:
    // Rows 1, 2, ... until the register answers -259; -260 skips the rest of
    // a row. The goods come a record per exchange, the GSM/Wi-Fi settings a
    // register row per column.
    int readTable(protocolBase &protocol) override;
    int continueReading(protocolBase &protocol) override;

    // Lays the grid out; while a read appends rows below the visible ones,
    // only the scroll bars and headers change.
    void doItemsLayout() override;

private:
    // Marks the span of a read, which only ever appends rows.
    class AppendingRows
    {
    public:
        explicit AppendingRows(QMyTableGenericWidget &grid);
        ~AppendingRows();
        AppendingRows(const AppendingRows &) = delete;
        AppendingRows &operator=(const AppendingRows &) = delete;

    private:
        QMyTableGenericWidget &m_grid;
        const bool m_stretched;
    };

    // The row count at the last layout during a read; -1 outside reads.
    int m_rowsLaidOut = -1;
};

// An editor whose columns are those of catalogue table N.
template <int N> class QMyCatalogueTableWidget : public QMyTableGenericWidget
{
public:
    explicit QMyCatalogueTableWidget(QWidget *parent = nullptr) : QMyTableGenericWidget(parent)
    {
        setupCatalogueColumns(*this, N);
    }
    int tableNumber() override { return N; }
};
