#include "qmytable2widget.h"

#include "cellfield.h"
#include "cellmarks.h"
#include "errorcode.h"
#include "protocolbase.h"
#include "tablecatalogue.h"
#include "tablecolumns.h"
#include "tablelimits.h"

#include <QDebug>
#include <QHeaderView>

namespace {

constexpr int settingsTable = 2;
constexpr int settingsRow = 1;

// The column's type number: field number, field type code, width in bytes.
enum Column
{
    FieldColumn = 0,
    TypeColumn = 1,
    ValueColumn = 2,
};

QTableWidgetItem *readOnlyCell(const QString &text, int type)
{
    auto *cell = new QTableWidgetItem(text, type);
    cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
    return cell;
}

} // namespace

QMyTable2Widget::QMyTable2Widget(QWidget *parent) : QMyTableWidget(parent)
{
    setupCatalogueColumns(*this, settingsTable);
    verticalHeader()->hide();
}

void QMyTable2Widget::on_itemChanged(QTableWidgetItem *item)
{
    qDebug() << "QMyTable2Widget::on_itemChanged";
    if (!item)
        return;
    if (item->column() != ValueColumn) {
        CellMarks::setValidity(*item, true);
        return;
    }
    FieldAddress address;
    CellMarks::setValidity(*item, fieldAddress(item->row(), item->column(), address) &&
                                      cellIsValid(address, *item));
}

bool QMyTable2Widget::fieldAddress(int row, int column, FieldAddress &address)
{
    const QTableWidgetItem *field = item(row, FieldColumn);
    const QTableWidgetItem *type = item(row, TypeColumn);
    if (column != ValueColumn || !field || !type)
        return false;
    address = {settingsTable, settingsRow, field->type(), type->type()};
    return true;
}

int QMyTable2Widget::readTable(protocolBase &protocol)
{
    for (int field = 1; field <= maxSettingsField; ++field) {
        try {
            const FieldPtr value(protocol.readField(fieldType(settingsTable, field), settingsTable,
                                                    settingsRow, field));
            setRowCount(field);
            fillRow(*value);
        } catch (ErrorCode code) {
            // -260 marks the end of the row; any other refusal skips one
            // field. A register that did not answer has ended nothing: the
            // read fails with the fields read so far.
            if (code == ERR_DEVICE_WRONG_FIELD)
                return ERR_OK;
            if (!protocol.answeredLastRequest())
                return code;
        }
    }
    return ERR_OK;
}

void QMyTable2Widget::fillRow(FieldBase &value)
{
    QString text;
    value.toString(text);
    fillRow(value, text);
}

void QMyTable2Widget::fillRow(FieldBase &value, const QString &shownText)
{
    const int row = value.fieldNumber() - 1;
    if (row >= rowCount())
        return;
    setItem(row, FieldColumn,
            readOnlyCell(QString::number(value.fieldNumber()), value.fieldNumber()));
    setItem(
        row, TypeColumn,
        readOnlyCell(QString::number(value.width()) + QLatin1Char(' ') + value.typeDescription(),
                     value.type()));
    setItem(row, ValueColumn, new QTableWidgetItem(shownText, value.width()));
}

int QMyTable2Widget::writeTable(protocolBase &protocol)
{
    for (int row = 0; row < rowCount(); ++row) {
        FieldAddress address;
        QTableWidgetItem *value = item(row, ValueColumn);
        if (!value || !fieldAddress(row, ValueColumn, address))
            return ERR_INVALID_DATA;
        const int result = sendCell(protocol, address, *value);
        if (result != ERR_OK)
            return result;
    }
    return ERR_OK;
}

int QMyTable2Widget::tableNumber()
{
    return settingsTable;
}

int QMyTable2Widget::saveToFile(const QString &path)
{
    return SettingsFile::save(*this, path);
}

int QMyTable2Widget::writeTableFile(QTextStream &out)
{
    return SettingsFile::write(*this, out);
}

int QMyTable2Widget::parseTableFile(TableLines &lines, const QString &firstLine, PendingLoad &apply)
{
    return SettingsFile::parse(lines, firstLine, *this, rowFiller(), apply);
}

int QMyTable2Widget::loadFile(const QString &path)
{
    return SettingsFile::load(*this, path, rowFiller());
}

SettingsFile::FillRow QMyTable2Widget::rowFiller()
{
    return [this](FieldBase &value, const QString &shownText) { fillRow(value, shownText); };
}

QTableWidgetItem *QMyTable2Widget::findInvalidItem()
{
    for (int row = 0; row < rowCount(); ++row) {
        QTableWidgetItem *value = item(row, ValueColumn);
        if (value && CellMarks::isInvalid(*value))
            return value;
    }
    return nullptr;
}
