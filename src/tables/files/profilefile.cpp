#include "profilefile.h"

#include "errorcode.h"
#include "registerprofile.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tablefile.h"
#include "tablefilewriter.h"
#include "tablelimits.h"

#include <QCoreApplication>
#include <QSet>

namespace ProfileFile {

namespace {

const QString formatLine = QStringLiteral("MORVELL-PROFILE 1");
const QString identificationKey = QStringLiteral("ККТ\t");
const QString dateKey = QStringLiteral("Дата\t");

QString tr(const char *text)
{
    return QCoreApplication::translate("ProfileFile", text);
}

// "3 «Пользователи и пароли»", as the messages name a table.
QString tableName(int table)
{
    return QStringLiteral("%1 «%2»").arg(table).arg(TableCatalogue::caption(table));
}

// The largest profile: every table at its largest, each with its section line.
TableFileBound profileBound()
{
    int lines = 0;
    for (int table : TableCatalogue::numbers()) {
        lines += 1 + TableFile::bound(table).maxLines();
    }
    return {3, lines, 1};
}

// The section line "[N]" gives the table's number, 0 for another line.
int sectionTable(const QString &line)
{
    if (!line.startsWith(QLatin1Char('[')) || !line.endsWith(QLatin1Char(']')))
        return 0;
    bool ok = false;
    const int table = line.midRef(1, line.size() - 2).toInt(&ok);
    return ok && table > 0 ? table : -1;
}

// The lines of one table: those up to the next section line, which it keeps
// for the profile to read next. Counts the lines read, for the messages.
class SectionLines : public TableLines
{
public:
    SectionLines(TableFileReader &file, int &lineNumber) : m_file(file), m_lineNumber(lineNumber) {}

    bool atEnd() const override { return m_ended || m_file.atEnd(); }
    int readLine(QString &line) override
    {
        line.clear();
        if (atEnd())
            return ERR_OK;
        QString next;
        const int result = m_file.readLine(next);
        if (result != ERR_OK)
            return result;
        ++m_lineNumber;
        if (next.startsWith(QLatin1Char('['))) {
            m_ended = true;
            m_nextSection = next;
            return ERR_OK;
        }
        line = next;
        return ERR_OK;
    }
    // The first line with content, as the table file's first line.
    int readFirstLine(QString &line)
    {
        do {
            const int result = readLine(line);
            if (result != ERR_OK)
                return result;
        } while (line.isEmpty() && !atEnd());
        return ERR_OK;
    }
    const QString &nextSection() const { return m_nextSection; }

private:
    TableFileReader &m_file;
    int &m_lineNumber;
    bool m_ended = false;
    QString m_nextSection;
};

int readHeaderLine(TableFileReader &reader, const QString &key, QString &value)
{
    QString line;
    const int result = reader.readLine(line);
    if (result != ERR_OK)
        return result;
    if (!line.startsWith(key))
        return ERR_INVALID_DATA;
    value = line.mid(key.size());
    return ERR_OK;
}

} // namespace

int save(const QString &path, const Header &header, const QList<const TableData *> &tables,
         const FileEventPoint &point)
{
    TableFileWriter writer(path);
    if (!writer.open())
        return ERR_FILE_OPEN;
    QTextStream &out = writer.stream();
    QString identification = header.identification;
    identification.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    out << formatLine << '\n'
        << identificationKey << identification << '\n'
        << dateKey << header.saved.toString(Qt::ISODate) << '\n';
    // The records of the tables before, so that the count goes on over the file.
    qint64 before = 0;
    const FileEventPoint tablePoint =
        point ? [&point, &before](qint64 done) { return point(before + done); } : FileEventPoint();
    for (const TableData *table : tables) {
        out << '[' << table->tableNumber() << "]\n";
        const int result = TableFile::write(*table, out, TableFile::Format::Table, tablePoint);
        if (result != ERR_OK)
            return result;
        before += table->rowCount();
    }
    return writer.commit() ? ERR_OK : ERR_FILE_OPEN;
}

int save(const QString &path, const RegisterProfile &profile, const FileEventPoint &point)
{
    QList<const TableData *> tables;
    for (const auto &table : profile.tables)
        tables << table.get();
    return save(path, {profile.identification, QDateTime::currentDateTime()}, tables, point);
}

int check(const QString &path, const std::function<TableData *(int)> &tableOf, Checked &checked,
          QString &problem, const FileEventPoint &point)
{
    checked = Checked();
    TableFileReader reader(profileBound(), point);
    QString line;
    int result = reader.open(path, line);
    if (result != ERR_OK)
        return result;
    if (line != formatLine) {
        problem = tr("Файл не является профилем ККТ: первая строка не «%1».").arg(formatLine);
        return ERR_INVALID_DATA;
    }
    QString date;
    result = readHeaderLine(reader, identificationKey, checked.header.identification);
    if (result == ERR_OK)
        result = readHeaderLine(reader, dateKey, date);
    checked.header.saved = QDateTime::fromString(date, Qt::ISODate);
    if (result != ERR_OK || !checked.header.saved.isValid()) {
        problem = tr("Заголовок профиля повреждён: в строках 2 и 3 должны быть ККТ и дата.");
        return ERR_INVALID_DATA;
    }
    int lineNumber = 3;
    // The lines before the first section may only be empty.
    SectionLines preamble(reader, lineNumber);
    while (!preamble.atEnd()) {
        if ((result = preamble.readLine(line)) == ERR_CANCELLED)
            return result;
        if (result != ERR_OK || !line.isEmpty()) {
            problem = tr("Строка %1: ожидалась строка таблицы вида «[1]».").arg(lineNumber);
            return ERR_INVALID_DATA;
        }
    }
    QString section = preamble.nextSection();
    QSet<int> seen;
    while (!section.isEmpty()) {
        const int sectionLine = lineNumber;
        const int table = sectionTable(section);
        TableData *data = table > 0 ? tableOf(table) : nullptr;
        if (!data) {
            problem = tr("Строка %1: неизвестная таблица «%2».").arg(sectionLine).arg(section);
            return ERR_WRONG_TABLE_NUMBER;
        }
        if (seen.contains(table)) {
            problem = tr("Строка %1: таблица %2 встречается в профиле второй раз.")
                          .arg(sectionLine)
                          .arg(tableName(table));
            return ERR_INVALID_DATA;
        }
        seen.insert(table);
        SectionLines lines(reader, lineNumber);
        PendingLoad apply;
        result = lines.readFirstLine(line);
        if (result == ERR_OK)
            result = TableFile::parse(lines, line, *data, apply);
        if (result == ERR_CANCELLED)
            return result;
        if (result != ERR_OK) {
            problem = tr("Строка %1: неверные данные таблицы %2 (таблица начинается в строке %3).")
                          .arg(lineNumber)
                          .arg(tableName(table))
                          .arg(sectionLine);
            return result;
        }
        checked.tables.append({data, apply});
        section = lines.nextSection();
    }
    return ERR_OK;
}

} // namespace ProfileFile
