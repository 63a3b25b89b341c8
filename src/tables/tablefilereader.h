#pragma once

#include <QString>

#include <functional>

// The lines of a table file. The text is decoded as Qt's text streams decode
// by default, with the locale's codec (a byte-order mark chooses its own);
// under a UTF-8 locale a file that is not valid UTF-8 is taken as
// Windows-1251, the encoding such files come in from Windows machines.
class TableFileReader
{
public:
    // False when the file cannot be read.
    bool open(const QString &path);
    bool atEnd() const { return m_position >= m_text.size(); }
    // The next line without its LF or CR LF; empty at the end.
    QString readLine();

private:
    static QString decode(const QByteArray &bytes);

    QString m_text;
    int m_position = 0;
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
// a line too short to hold three numbers and their separators ends the load
// with ERR_INVALID_DATA, and so does the first non-zero result of handle.
int forEachNumberedLine(TableFileReader &reader,
                        const std::function<int(const NumberedLine &)> &handle);
