#include "tablefilereader.h"

#include "streamintscanner.h"

#include <QDebug>
#include <QFileInfo>

namespace {

constexpr int utf8Mib = 106;
constexpr int chunkSize = 1 << 16;
// The longest byte-order mark.
constexpr int markSize = 4;
// Shorter data lines cannot hold three numbers and their separators.
constexpr int minimumLineLength = 5;

} // namespace

int TableFileReader::open(const QString &path, QString &firstLine)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return ERR_FILE_OPEN;
    if (info.size() > m_bound.maxFileSize()) {
        qDebug() << "TableFileReader::open"
                 << "File larger than" << m_bound.maxFileSize() << "bytes";
        return ERR_INVALID_DATA;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return ERR_FILE_OPEN;
    int result = chooseCodec();
    if (result == ERR_OK)
        result = fill();
    return result == ERR_OK ? readLine(firstLine) : result;
}

// Decoding the whole file once tells whether it is valid UTF-8; then it is
// read again from the start.
int TableFileReader::chooseCodec()
{
    m_codec = QTextCodec::codecForUtfText(m_file.peek(markSize), QTextCodec::codecForLocale());
    if (m_codec->mibEnum() != utf8Mib)
        return ERR_OK;
    QTextCodec::ConverterState state;
    bool valid = true;
    do {
        const int result = readChunk();
        if (result != ERR_OK)
            return result;
        m_codec->toUnicode(m_chunk.constData(), m_chunk.size(), &state);
        valid = state.invalidChars == 0;
    } while (valid && !m_chunk.isEmpty());
    if (!valid || state.remainingChars > 0)
        m_codec = QTextCodec::codecForName("Windows-1251");
    m_bytesRead = 0;
    return m_file.seek(0) ? ERR_OK : ERR_FILE_OPEN;
}

int TableFileReader::readChunk()
{
    m_chunk.resize(chunkSize);
    const qint64 count = m_file.read(m_chunk.data(), chunkSize);
    if (count < 0)
        return ERR_FILE_OPEN;
    m_chunk.resize(int(count));
    m_bytesRead += count;
    // The file may have grown since its size was looked at.
    if (m_bytesRead > m_bound.maxFileSize()) {
        qDebug() << "TableFileReader::readChunk"
                 << "File larger than" << m_bound.maxFileSize() << "bytes";
        return ERR_INVALID_DATA;
    }
    return ERR_OK;
}

// Drops the lines taken and decodes the next piece of the file.
int TableFileReader::fill()
{
    m_buffer.remove(0, m_position);
    m_position = 0;
    const int result = readChunk();
    if (result != ERR_OK)
        return result;
    if (m_chunk.isEmpty())
        m_fileDone = true;
    else
        m_buffer += m_codec->toUnicode(m_chunk.constData(), m_chunk.size(), &m_state);
    return ERR_OK;
}

bool TableFileReader::atEnd() const
{
    return m_error == ERR_OK && m_fileDone && m_position >= m_buffer.size();
}

int TableFileReader::readLine(QString &line)
{
    line.clear();
    if (m_error != ERR_OK || atEnd())
        return m_error;
    if (!m_eventPoint.step(m_bytesRead))
        return m_error = ERR_CANCELLED;
    const int maxLength = m_bound.maxLineLength();
    int end = -1;
    while ((end = m_buffer.indexOf(QLatin1Char('\n'), m_position)) < 0 && !m_fileDone) {
        // One more for a CR before the LF still to come.
        if (m_buffer.size() - m_position > maxLength + 1)
            return m_error = refuseLongLine();
        m_error = fill();
        if (m_error != ERR_OK)
            return m_error;
    }
    if (end < 0)
        end = m_buffer.size();
    int length = end - m_position;
    if (length > 0 && m_buffer.at(end - 1) == QLatin1Char('\r'))
        --length;
    if (length > maxLength)
        return m_error = refuseLongLine();
    if (length > 0 && ++m_linesWithContent > m_bound.maxLines()) {
        qDebug() << "TableFileReader::readLine"
                 << "More than" << m_bound.maxLines() << "lines";
        return m_error = ERR_INVALID_DATA;
    }
    line = m_buffer.mid(m_position, length);
    m_position = end + 1;
    if (m_position >= m_buffer.size() && !m_fileDone)
        m_error = fill();
    return ERR_OK;
}

int TableFileReader::refuseLongLine() const
{
    qDebug() << "TableFileReader::readLine"
             << "Line longer than" << m_bound.maxLineLength() << "characters";
    return ERR_INVALID_DATA;
}

int forEachNumberedLine(TableLines &reader, const std::function<int(const NumberedLine &)> &handle)
{
    QString line;
    while (!reader.atEnd()) {
        const int read = reader.readLine(line);
        if (read != ERR_OK)
            return read;
        if (line.isEmpty())
            continue;
        if (line.size() < minimumLineLength)
            return ERR_INVALID_DATA;
        StreamIntScanner scanner(line);
        NumberedLine numbered;
        if (!scanner.readInt(numbered.first) || !scanner.readInt(numbered.second) ||
            !scanner.readInt(numbered.third))
            return ERR_INVALID_DATA;
        numbered.text = scanner.rest();
        const int result = handle(numbered);
        if (result != ERR_OK)
            return result;
    }
    return ERR_OK;
}
