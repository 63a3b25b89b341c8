#pragma once

#include "qmytablewidget.h"
#include "tablecolumns.h"

class FieldBase;
struct FieldAddress;

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
    // Rows 1, 2, ... until the register answers -259; -260 skips the rest of a row.
    int readTable(protocolBase &protocol) override;
    // Sends the changed cells only, stopping at the first one that fails.
    int writeTable(protocolBase &protocol) override;
    // The tab-separated table file.
    int saveToFile(const QString &path) override;
    int writeTableFile(QTextStream &out) override;
    int parseTableFile(TableLines &lines, const QString &firstLine, PendingLoad &apply) override;
    QTableWidgetItem *findInvalidItem() override;
    // Grid row r is register row r + 1, column c its field c + 1.
    bool fieldAddress(int row, int column, FieldAddress &address) override;

    // Lays the grid out; while a read appends rows below the visible ones,
    // only the scroll bars and headers change.
    void doItemsLayout() override;

protected:
    int loadFile(const QString &path) override;

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

    // A new cell showing a value read from the register, its width as type
    // number; not editable when the table is not writable.
    QTableWidgetItem *newReadCell(FieldBase &value);
    // Writes the cell when it is marked changed, and counts it in written on success.
    int writeIfChanged(protocolBase &protocol, QTableWidgetItem &cell, const FieldAddress &address,
                       int &written);

private:
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
