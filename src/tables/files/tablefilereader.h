#pragma once

#include "errorcode.h"
#include "fileeventpoint.h"
#include "tablelimits.h"

#include <QFile>
#include <QString>
#include <QTextCodec>

#include <functional>

// A table file checked whole, waiting to go into its table in one step, so
// that a bad file, or a bad table in a profile, changes no table.
class PendingLoad
{
public:
    using Put = std::function<int(const FileEventPoint &)>;

    PendingLoad() = default;
    PendingLoad(qint64 records, Put put) : m_records(records), m_put(std::move(put)) {}

    // Puts the file into its table, the event point given the records put so
    // far. ERR_CANCELLED when the user stopped it: the table then holds part
    // of the file, for its keeper to take back.
    int operator()(const FileEventPoint &point = {}) const { return m_put(point); }
    // The records (rows) the file fills.
    qint64 records() const { return m_records; }

private:
    qint64 m_records = 0;
    Put m_put;
};

// Where the lines of a table file come from: a file of its own, or the
// table's section of a profile.
class TableLines
{
public:
    virtual ~TableLines() = default;
    virtual bool atEnd() const = 0;
    // The next line without its line break; empty at the end.
    virtual int readLine(QString &line) = 0;
};

// The lines of a table file, read a piece at a time. The text is decoded as
// Qt's text streams decode by default, with the locale's codec (a byte-order
// mark chooses its own); under a UTF-8 locale a file that is not valid UTF-8
// is taken as Windows-1251, the encoding such files come in from Windows
// machines.
class TableFileReader : public TableLines
{
public:
    // The event point, if any, is given the bytes read so far.
    explicit TableFileReader(const TableFileBound &bound, const FileEventPoint &point = {})
        : m_bound(bound), m_eventPoint(point)
    {
    }

    // Opens the file and reads its first line, empty for an empty file.
    // ERR_FILE_OPEN when the path names no regular file or it cannot be read:
    // a pipe or a device is never opened, as it could block or never end.
    // ERR_INVALID_DATA when the file is larger than the bound allows.
    int open(const QString &path, QString &firstLine);
    bool atEnd() const override;
    // The next line without its LF or CR LF; empty at the end. Fails with
    // ERR_INVALID_DATA at a line beyond the bound, with ERR_FILE_OPEN when
    // the file cannot be read, and with ERR_CANCELLED when the user stopped.
    int readLine(QString &line) override;

private:
    int chooseCodec();
    int readChunk();
    int fill();
    int refuseLongLine() const;

    const TableFileBound m_bound;
    PacedEventPoint m_eventPoint;
    QFile m_file;
    QTextCodec *m_codec = nullptr;
    QTextCodec::ConverterState m_state;
    QByteArray m_chunk;
    qint64 m_bytesRead = 0;
    bool m_fileDone = false;
    // Decoded text not yet taken as lines, from m_position on.
    QString m_buffer;
    int m_position = 0;
    int m_linesWithContent = 0;
    // A failure met reading ahead, for the next readLine.
    int m_error = ERR_OK;
};

// A data line of a tab-separated table file: three integers, then the cell text.
struct NumberedLine
{
    int first = 0;
    int second = 0;
    int third = 0;
    QString text;
};

// Hands every data line left in the reader to handle, skipping empty lines;
// a line too short to hold three numbers and their separators, or with a
// malformed number, ends the load with ERR_INVALID_DATA, and so does the first
// non-zero result of handle.
int forEachNumberedLine(TableLines &reader, const std::function<int(const NumberedLine &)> &handle);
