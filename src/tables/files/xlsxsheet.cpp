#include "xlsxsheet.h"

#include "errorcode.h"

#include <KArchive>
#include <KArchiveDirectory>
#include <KArchiveFile>
#include <KZip>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <memory>

namespace XlsxSheet {

namespace {

// Bounds far beyond a price list of the 65,535 goods a register holds (its
// sheet is some 20 MB of XML), and low enough that what a read keeps stays
// a small multiple of what the goods grid holds.
constexpr qint64 maxArchiveBytes = qint64(256) << 20;
constexpr qint64 maxSheetBytes = qint64(512) << 20;
constexpr qint64 maxSharedStringsBytes = qint64(256) << 20;
constexpr qint64 maxSmallPartBytes = qint64(16) << 20;
constexpr int maxRows = 1 << 20;
constexpr int maxColumns = 1024;
// Cells including the empty ones before a row's last: what the rows keep.
constexpr qint64 maxCells = qint64(1) << 23;
constexpr int chunkSize = 1 << 16;

const QString workbookPart = QStringLiteral("xl/workbook.xml");
const QString workbookRelsPart = QStringLiteral("xl/_rels/workbook.xml.rels");

QString tr(const char *text)
{
    return QCoreApplication::translate("XlsxSheet", text);
}

bool isElement(const QXmlStreamReader &xml, QLatin1String name)
{
    return xml.isStartElement() && xml.name() == name;
}

// One XML part of the archive, inflated a piece at a time into the parser:
// the bytes it actually inflates are counted against its bound, whatever
// size the archive declares for it.
class PartReader
{
public:
    PartReader(const QString &name, qint64 bound, QString &why, const FileEventPoint &point = {})
        : m_name(name), m_bound(bound), m_why(why), m_point(point)
    {
    }

    int open(const KArchiveDirectory &root)
    {
        const KArchiveFile *file = root.file(m_name);
        if (!file)
            return fail(tr("в книге нет части «%1».").arg(m_name));
        if (file->size() > m_bound)
            return tooLarge();
        m_device.reset(file->createDevice());
        if (!m_device || !m_device->isOpen())
            return fail(tr("часть «%1» не распаковывается.").arg(m_name));
        return ERR_OK;
    }

    // The next token; false at the part's end and at a failure, which
    // result() then tells.
    bool next()
    {
        for (;;) {
            if (!m_point.step(m_bytesRead)) {
                m_result = ERR_CANCELLED;
                return false;
            }
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::DTD) {
                fail(tr("часть «%1» объявляет DTD или сущности; книга Excel их не содержит.")
                         .arg(m_name));
                return false;
            }
            if (token == QXmlStreamReader::EndDocument)
                return false;
            if (token != QXmlStreamReader::Invalid)
                return true;
            if (m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError || m_inflated) {
                badXml();
                return false;
            }
            if (!feed())
                return false;
        }
    }

    QXmlStreamReader &xml() { return m_xml; }
    qint64 bytesRead() const { return m_bytesRead; }
    // ERR_OK once the part was read to its end.
    int result() const { return m_result; }

    int fail(const QString &why)
    {
        m_why = why;
        return m_result = ERR_INVALID_DATA;
    }

private:
    bool feed()
    {
        const QByteArray chunk = m_device->read(chunkSize);
        if (chunk.isEmpty()) {
            // A damaged stream ends early too; the parser then finds the
            // document unfinished.
            m_inflated = true;
            m_xml.addData(QByteArray());
            return true;
        }
        m_bytesRead += chunk.size();
        if (m_bytesRead > m_bound) {
            tooLarge();
            return false;
        }
        m_xml.addData(chunk);
        return true;
    }

    int tooLarge()
    {
        qDebug() << "XlsxSheet" << m_name << "inflates beyond" << m_bound << "bytes";
        return fail(tr("часть «%1» распаковывается больше чем в %2 МБ: архив повреждён или "
                       "составлен во вред.")
                        .arg(m_name)
                        .arg(m_bound >> 20));
    }

    void badXml()
    {
        qDebug() << "XlsxSheet" << m_name << m_xml.errorString() << "at line" << m_xml.lineNumber();
        fail(tr("часть «%1» повреждена: ошибка XML в строке %2.")
                 .arg(m_name)
                 .arg(m_xml.lineNumber()));
    }

    const QString m_name;
    const qint64 m_bound;
    QString &m_why;
    PacedEventPoint m_point;
    std::unique_ptr<QIODevice> m_device;
    QXmlStreamReader m_xml;
    qint64 m_bytesRead = 0;
    bool m_inflated = false;
    int m_result = ERR_OK;
};

// The relationship's id attribute, whatever its namespace's prefix.
QString relationshipId(const QXmlStreamReader &xml)
{
    for (const QXmlStreamAttribute &attribute : xml.attributes()) {
        if (attribute.name() == QLatin1String("id") && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    }
    return QString();
}

// The ids of the workbook's sheets in its order.
int sheetIds(const KArchiveDirectory &root, QStringList &ids, QString &why)
{
    PartReader part(workbookPart, maxSmallPartBytes, why);
    if (part.open(root) != ERR_OK)
        return ERR_INVALID_DATA;
    while (part.next()) {
        if (isElement(part.xml(), QLatin1String("sheet")))
            ids << relationshipId(part.xml());
    }
    return part.result();
}

struct Relationship
{
    QString type;
    QString target;
};

// A target relative to the workbook's folder, or absolute in the archive.
QString partName(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(QStringLiteral("xl/") + target);
}

int relationships(const KArchiveDirectory &root, QHash<QString, Relationship> &byId, QString &why)
{
    PartReader part(workbookRelsPart, maxSmallPartBytes, why);
    if (part.open(root) != ERR_OK)
        return ERR_INVALID_DATA;
    while (part.next()) {
        const QXmlStreamReader &xml = part.xml();
        if (isElement(xml, QLatin1String("Relationship"))) {
            const QXmlStreamAttributes attributes = xml.attributes();
            byId.insert(attributes.value(QLatin1String("Id")).toString(),
                        {attributes.value(QLatin1String("Type")).toString(),
                         partName(attributes.value(QLatin1String("Target")).toString())});
        }
    }
    return part.result();
}

// Collects the text of a string item, <si> or <is>: its <t> and the <t> of
// its rich text runs, not the phonetic hints of <rPh>.
class StringItem
{
public:
    // False when the text grows past a cell's.
    bool take(const QXmlStreamReader &xml)
    {
        if (xml.isStartElement()) {
            m_inText = xml.name() == QLatin1String("t") && m_phoneticDepth == 0;
            m_phoneticDepth += xml.name() == QLatin1String("rPh");
        } else if (xml.isEndElement()) {
            m_inText = false;
            m_phoneticDepth -= xml.name() == QLatin1String("rPh");
        } else if (m_inText && xml.isCharacters()) {
            m_text += xml.text();
        }
        return m_text.size() <= maxCellText;
    }

    QString takeText()
    {
        m_inText = false;
        m_phoneticDepth = 0;
        return std::move(m_text);
    }

private:
    QString m_text;
    bool m_inText = false;
    int m_phoneticDepth = 0;
};

int tooLongText(PartReader &part)
{
    return part.fail(tr("текст ячейки длиннее %1 знаков, больше, чем вмещает ячейка "
                        "электронной таблицы.")
                         .arg(maxCellText));
}

int sharedStrings(const KArchiveDirectory &root, const QString &name, QStringList &strings,
                  QString &why)
{
    PartReader part(name, maxSharedStringsBytes, why);
    if (part.open(root) != ERR_OK)
        return ERR_INVALID_DATA;
    StringItem item;
    bool inItem = false;
    while (part.next()) {
        const QXmlStreamReader &xml = part.xml();
        if (isElement(xml, QLatin1String("si"))) {
            inItem = true;
        } else if (inItem && xml.isEndElement() && xml.name() == QLatin1String("si")) {
            inItem = false;
            strings << item.takeText();
        } else if (inItem && !item.take(xml)) {
            return tooLongText(part);
        }
        if (strings.size() > maxCells)
            return part.fail(tr("в книге больше %1 строк текста.").arg(maxCells));
    }
    return part.result();
}

// "AB12" as column 27 (from 0) and row 11; false for anything else.
bool cellReference(const QStringRef &reference, int &row, int &column)
{
    int at = 0;
    column = 0;
    while (at < reference.size() && at < 3 && reference.at(at) >= QLatin1Char('A') &&
           reference.at(at) <= QLatin1Char('Z'))
        column = column * 26 + (reference.at(at++).unicode() - 'A' + 1);
    bool ok = false;
    row = reference.mid(at).toInt(&ok) - 1;
    --column;
    return at > 0 && at < reference.size() && reference.at(at).isDigit() && ok && row >= 0;
}

// What a cell holds, once its element ends.
struct Cell
{
    int row = 0;
    int column = 0;
    QString type;
    QString value;
};

// The worksheet's rows as they are read, each as long as its last cell with
// a text: a sheet's empty formatted cells and rows cost nothing.
class SheetGrid
{
public:
    SheetGrid(PartReader &part, const QStringList &strings, SheetRows &rows)
        : m_part(part), m_strings(strings), m_rows(rows)
    {
    }

    int place(const Cell &cell)
    {
        QString text;
        const int result = cellText(cell, text);
        if (result != ERR_OK || text.isEmpty())
            return result;
        if (cell.row >= maxRows)
            return m_part.fail(tr("на листе больше %1 строк.").arg(maxRows));
        if (cell.column >= maxColumns)
            return m_part.fail(tr("на листе больше %1 столбцов.").arg(maxColumns));
        if (cell.row >= m_rows.size())
            m_rows.resize(cell.row + 1);
        QStringList &row = m_rows[cell.row];
        if (cell.column >= row.size()) {
            m_cells += cell.column + 1 - row.size();
            if (m_cells > maxCells)
                return m_part.fail(tr("на листе больше %1 ячеек.").arg(maxCells));
            row.reserve(cell.column + 1);
            while (row.size() <= cell.column)
                row.append(QString());
        }
        row[cell.column] = text;
        return ERR_OK;
    }

private:
    int cellText(const Cell &cell, QString &text) const
    {
        if (cell.type == QLatin1String("s")) {
            bool ok = false;
            const int index = cell.value.toInt(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                return m_part.fail(tr("ячейка строки %1 ссылается на текст, которого в книге нет.")
                                       .arg(cell.row + 1));
            text = m_strings.at(index);
        } else if (cell.type == QLatin1String("b")) {
            text =
                cell.value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (cell.type.isEmpty() || cell.type == QLatin1String("n")) {
            bool ok = false;
            const double number = cell.value.toDouble(&ok);
            text = ok ? numberText(number) : cell.value;
        } else {
            // Inline strings, a formula's text, errors, dates in ISO form.
            text = cell.value;
        }
        return ERR_OK;
    }

    PartReader &m_part;
    const QStringList &m_strings;
    SheetRows &m_rows;
    qint64 m_cells = 0;
};

int readSheet(PartReader &part, const QStringList &strings, SheetRows &rows)
{
    SheetGrid grid(part, strings, rows);
    StringItem item;
    Cell cell;
    int row = -1;
    bool inCell = false;
    bool inValue = false;
    bool inInline = false;
    while (part.next()) {
        const QXmlStreamReader &xml = part.xml();
        if (xml.isStartElement()) {
            const QStringRef name = xml.name();
            const QStringRef reference = xml.attributes().value(QLatin1String("r"));
            if (name == QLatin1String("row")) {
                bool ok = true;
                row = reference.isEmpty() ? row + 1 : reference.toInt(&ok) - 1;
                cell.column = -1;
                if (!ok || row < 0)
                    return part.fail(tr("строка листа с неверным номером «%1».").arg(reference));
            } else if (name == QLatin1String("c")) {
                inCell = true;
                cell.row = qMax(row, 0);
                cell.type = xml.attributes().value(QLatin1String("t")).toString();
                cell.value.clear();
                if (reference.isEmpty())
                    ++cell.column;
                else if (!cellReference(reference, cell.row, cell.column))
                    return part.fail(tr("ячейка с неверной ссылкой «%1».").arg(reference));
            } else if (inCell && name == QLatin1String("v")) {
                inValue = true;
            } else if (inCell && name == QLatin1String("is")) {
                inInline = true;
            }
        }
        if (inInline && !item.take(xml))
            return tooLongText(part);
        if (inValue && xml.isCharacters()) {
            cell.value += xml.text();
            if (cell.value.size() > maxCellText)
                return tooLongText(part);
        }
        if (xml.isEndElement()) {
            const QStringRef name = xml.name();
            if (name == QLatin1String("v")) {
                inValue = false;
            } else if (name == QLatin1String("is")) {
                inInline = false;
                cell.value = item.takeText();
            } else if (name == QLatin1String("c") && inCell) {
                inCell = false;
                if (grid.place(cell) != ERR_OK)
                    return ERR_INVALID_DATA;
            }
        }
    }
    return part.result();
}

int readWorkbook(const KArchiveDirectory &root, SheetRows &rows, QString &why,
                 const FileEventPoint &point)
{
    QStringList ids;
    QHash<QString, Relationship> byId;
    if (sheetIds(root, ids, why) != ERR_OK || relationships(root, byId, why) != ERR_OK)
        return ERR_INVALID_DATA;
    QString sheet;
    QString strings;
    for (const QString &id : ids) {
        if (byId.value(id).type.endsWith(QLatin1String("/worksheet"))) {
            sheet = byId.value(id).target;
            break;
        }
    }
    for (const Relationship &relationship : byId) {
        if (relationship.type.endsWith(QLatin1String("/sharedStrings")))
            strings = relationship.target;
    }
    if (sheet.isEmpty()) {
        why = tr("в книге нет ни одного листа с ячейками.");
        return ERR_INVALID_DATA;
    }
    QStringList shared;
    if (!strings.isEmpty() && sharedStrings(root, strings, shared, why) != ERR_OK)
        return ERR_INVALID_DATA;
    PartReader part(sheet, maxSheetBytes, why, point);
    if (part.open(root) != ERR_OK)
        return ERR_INVALID_DATA;
    return readSheet(part, shared, rows);
}

} // namespace

int readFirstSheet(const QString &path, SheetRows &rows, QString &why, const FileEventPoint &point)
{
    rows.clear();
    why.clear();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return ERR_FILE_OPEN;
    if (info.size() > maxArchiveBytes) {
        why = tr("файл больше %1 МБ, больше любой книги с таблицей товаров.")
                  .arg(maxArchiveBytes >> 20);
        return ERR_INVALID_DATA;
    }
    KZip zip(path);
    if (!zip.open(QIODevice::ReadOnly)) {
        why = tr("файл не книга Excel (.xlsx): это не архив ZIP, или архив повреждён.");
        return ERR_INVALID_DATA;
    }
    const int result = readWorkbook(*zip.directory(), rows, why, point);
    if (result != ERR_OK)
        rows.clear();
    return result;
}

QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    // "-4.60000000000010e+12": the sign, 15 significant digits, the exponent.
    const QString scientific = QString::number(value, 'e', 14);
    const int exponentAt = scientific.indexOf(QLatin1Char('e'));
    const bool negative = value < 0;
    QString digits = scientific.left(exponentAt).remove(QLatin1Char('.'));
    if (negative)
        digits.remove(0, 1);
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    const int point = scientific.midRef(exponentAt + 1).toInt() + 1;
    QString text;
    if (point <= 0)
        text = QStringLiteral("0.") + QString(-point, QLatin1Char('0')) + digits;
    else if (point >= digits.size())
        text = digits + QString(point - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(point) + QLatin1Char('.') + digits.mid(point);
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace XlsxSheet
