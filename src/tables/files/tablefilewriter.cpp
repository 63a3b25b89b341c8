#include "tablefilewriter.h"

TableFileWriter::TableFileWriter(const QString &path) : m_file(path) {}

bool TableFileWriter::open()
{
    if (!m_file.open(QIODevice::WriteOnly))
        return false;
    m_stream.setDevice(&m_file);
    return true;
}

bool TableFileWriter::commit()
{
    m_stream.flush();
    return m_stream.status() == QTextStream::Ok && m_file.commit();
}

bool TableFileWriter::fitsOnOneLine(const QString &text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
}
