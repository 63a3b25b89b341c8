#include "qmytable1widget.h"

#include "cellmarks.h"
#include "errorcode.h"
#include "goodscsvfile.h"
#include "protocolbase.h"
#include "tablelimits.h"

namespace {

constexpr int goodsTable = 1;
// The longest table: events are processed less often than in the others.
constexpr int readEventInterval = 50;

// The third is the CSV for spreadsheet programs.
const char fileFilters[] = "*.txt;;*.csv;;CSV для Excel (*.csv);;Все файлы (*.*)";

bool isCsvPath(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"));
}

} // namespace

QMyTable1Widget::QMyTable1Widget(QWidget *parent)
    : QMyCatalogueTableWidget(parent), tableName(QStringLiteral("Таблица товаров"))
{
}

// One list for the whole read: the protocol fills it on the first record and
// refreshes its values for every later one.
int QMyTable1Widget::readTable(protocolBase &protocol)
{
    const AppendingRows appending(*this);
    FieldList fields;
    for (int row = 1; row <= maxTableRows; ++row) {
        if (row % readEventInterval == 0 && !eventPoint(row - 1))
            return ERR_CANCELLED;
        const int result = protocol.readRow(goodsTable, row, &fields);
        if (result == ERR_DEVICE_WRONG_ROW)
            return ERR_OK;
        if (result != ERR_OK)
            return result;
        setRowCount(row);
        for (int column = 0; column < fields.size(); ++column) {
            QTableWidgetItem *cell = newReadCell(*fields[column]);
            // Already white, so placing the cell does not change its colour again.
            CellMarks::setValidity(*cell, true);
            setItem(row - 1, column, cell);
        }
    }
    return ERR_OK;
}

int QMyTable1Widget::saveToFile(const QString &path)
{
    return saveAs(path, QString());
}

// The name decides, as it does for the load: a file in the other format than
// its name says would not load back.
int QMyTable1Widget::saveAs(const QString &path, const QString &filter)
{
    if (!isCsvPath(path))
        return QMyTableGenericWidget::saveToFile(path);
    const bool forSpreadsheets = filter == fileFilter().section(QStringLiteral(";;"), 2, 2);
    return GoodsCsvFile::save(*this, tableName, path, forSpreadsheets);
}

int QMyTable1Widget::writeCsvFile(QTextStream &out)
{
    return GoodsCsvFile::write(*this, tableName, out);
}

int QMyTable1Widget::loadFile(const QString &path)
{
    if (isCsvPath(path))
        return GoodsCsvFile::load(*this, tableName, path);
    return QMyTableGenericWidget::loadFile(path);
}

QString QMyTable1Widget::fileFilter()
{
    return tr(fileFilters);
}
