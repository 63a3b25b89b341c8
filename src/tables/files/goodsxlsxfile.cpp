#include "goodsxlsxfile.h"

#include "errorcode.h"
#include "goodscsvfile.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tablelimits.h"
#include "tableshape.h"
#include "xlsxsheet.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>

namespace GoodsXlsxFile {

namespace {

using TableShape::goodsTable;

QString tr(const char *text)
{
    return QCoreApplication::translate("GoodsXlsxFile", text);
}

// XML, which the workbook's parts are, holds no control character but a tab
// and line breaks, and every goods file refuses a line break.
bool canHold(const QString &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar character) {
        return (character < QLatin1Char(' ') && character != QLatin1Char('\t')) ||
               character.unicode() >= 0xfffe;
    });
}

// A number cell only where the sheet gives back the very text.
bool isNumberCell(int column, const QString &text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && !GoodsCsvFile::becomesNumber(column, text) &&
           XlsxSheet::numberText(number) == text;
}

// The workbook written under a temporary name beside the file, which it
// replaces only once it is whole; dropped otherwise.
class WorkbookFile
{
public:
    explicit WorkbookFile(const QString &path) : m_path(path)
    {
        const QFileInfo info(path);
        m_temporary.setFileTemplate(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                    QStringLiteral(".XXXXXX"));
    }

    ~WorkbookFile()
    {
        if (m_workbook)
            workbook_close(m_workbook);
    }

    bool open()
    {
        if (!m_temporary.open())
            return false;
        m_temporary.close();
        lxw_workbook_options options{};
        // Rows go straight to disk: a full goods table costs no memory.
        options.constant_memory = LXW_TRUE;
        m_workbook =
            workbook_new_opt(QFile::encodeName(m_temporary.fileName()).constData(), &options);
        m_sheet = m_workbook ? workbook_add_worksheet(m_workbook, nullptr) : nullptr;
        return m_sheet != nullptr;
    }

    bool write(int row, int column, const QString &text)
    {
        const lxw_error written =
            isNumberCell(column, text)
                ? worksheet_write_number(m_sheet, row, column, text.toDouble(), nullptr)
                : worksheet_write_string(m_sheet, row, column, text.toUtf8().constData(), nullptr);
        return written == LXW_NO_ERROR;
    }

    bool commit()
    {
        const lxw_error closed = workbook_close(m_workbook);
        m_workbook = nullptr;
        if (closed != LXW_NO_ERROR) {
            qDebug() << "GoodsXlsxFile::save" << lxw_strerror(closed);
            return false;
        }
        // The file keeps its permissions, as a save in place would.
        const QFileInfo previous(m_path);
        if (previous.exists())
            m_temporary.setPermissions(previous.permissions());
        else
            m_temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (std::rename(QFile::encodeName(m_temporary.fileName()).constData(),
                        QFile::encodeName(m_path).constData()) != 0)
            return false;
        m_temporary.setAutoRemove(false);
        return true;
    }

private:
    const QString m_path;
    QTemporaryFile m_temporary;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
};

// The first value of the record the workbook cannot hold, or -1.
int refusedColumn(const TableData &table, int row)
{
    for (int column = 0; column < table.columnCount(); ++column) {
        if (!canHold(table.text(row, column)))
            return column;
    }
    return -1;
}

int checkRows(TableData &table, SheetRows &rows, PendingLoad &apply, QString &why)
{
    if (rows.isEmpty() || !GoodsCsvFile::isHeader(rows.first()) ||
        rows.first().value(0).isEmpty()) {
        why = tr("первая строка листа — не заголовки столбцов таблицы товаров («%1», «%2», …).")
                  .arg(TableShape::columnHeader(goodsTable, 0),
                       TableShape::columnHeader(goodsTable, 1));
        return ERR_INVALID_DATA;
    }
    if (rows.size() - 1 > maxTableRows) {
        why = tr("на листе больше %1 записей, больше, чем вмещает таблица.").arg(maxTableRows);
        return ERR_INVALID_DATA;
    }
    QVector<LoadedCell> cells;
    cells.reserve((rows.size() - 1) * TableCatalogue::goodsCsvFieldWidths().size());
    int records = 0;
    for (int row = 1; row < rows.size(); ++row) {
        QStringList &fields = rows[row];
        if (fields.isEmpty()) {
            why =
                tr("строка листа %1 пуста: после заголовков каждая строка — запись.").arg(row + 1);
            return ERR_INVALID_DATA;
        }
        for (QString &field : fields)
            field = GoodsCsvFile::cellText(field);
        GoodsCsvFile::addRecord(table, fields, cells, records);
        // The cells share the texts; the row is not needed any more.
        fields = QStringList();
    }
    apply = GoodsCsvFile::recordsLoad(table, std::move(cells), records);
    return ERR_OK;
}

} // namespace

int save(const TableData &table, const QString &path, const FileEventPoint &point)
{
    WorkbookFile file(path);
    if (!file.open())
        return ERR_FILE_OPEN;
    for (int column = 0; column < table.columnCount(); ++column) {
        if (!file.write(0, column, TableShape::columnHeader(goodsTable, column)))
            return ERR_FILE_OPEN;
    }
    PacedEventPoint paced(point);
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!paced.step(row))
            return ERR_CANCELLED;
        if (const int column = refusedColumn(table, row); column >= 0) {
            qDebug() << "GoodsXlsxFile::save"
                     << "The value of row" << row + 1 << "field" << column + 1
                     << "cannot be held by a workbook";
            return ERR_INVALID_DATA;
        }
        for (int column = 0; column < table.columnCount(); ++column) {
            if (!file.write(row + 1, column, table.text(row, column)))
                return ERR_FILE_OPEN;
        }
    }
    return file.commit() ? ERR_OK : ERR_FILE_OPEN;
}

QString refusal(const TableData &table)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        const int column = refusedColumn(table, row);
        if (column < 0)
            continue;
        const QString text = table.text(row, column);
        const bool lineBreak = text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
        return GoodsCsvFile::fieldPlace(row, column) +
               (lineBreak ? tr(": перевод строки в значении. В файле таблицы запись занимает "
                               "одну строку; уберите перевод строки.")
                          : tr(": «%1» — управляющий знак в значении: книга Excel его не "
                               "вмещает. Такое значение сохраняет файл *.txt.")
                                .arg(text));
    }
    return QString();
}

int check(TableData &table, const QString &path, PendingLoad &apply, QString &why,
          const FileEventPoint &point)
{
    SheetRows rows;
    const int result = XlsxSheet::readFirstSheet(path, rows, why, point);
    if (result != ERR_OK)
        return result;
    return checkRows(table, rows, apply, why);
}

} // namespace GoodsXlsxFile
