#pragma once

#include <QSaveFile>
#include <QTextStream>

// Writes a table file in the locale's encoding (the default of Qt's text
// streams; the CSV for spreadsheets chooses its own). The file on disk is replaced only by
// commit(), so a save that stops early leaves the previous file as it was.
class TableFileWriter
{
public:
    explicit TableFileWriter(const QString &path);

    // False when the file cannot be created.
    bool open();
    QTextStream &stream() { return m_stream; }
    // False when the content could not be written out.
    bool commit();

    // The formats have no escapes, so a text with a line break cannot be saved.
    static bool fitsOnOneLine(const QString &text);

private:
    QSaveFile m_file;
    QTextStream m_stream;
};
