#include "tablefilereader.h"

#include "errorcode.h"
#include "streamintscanner.h"

#include <QFile>
#include <QTextCodec>

namespace {

constexpr int utf8Mib = 106;
// Shorter data lines cannot hold three numbers and their separators.
constexpr int minimumLineLength = 5;

} // namespace

bool TableFileReader::open(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_text = decode(file.readAll());
    m_position = 0;
    return true;
}

QString TableFileReader::decode(const QByteArray &bytes)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, QTextCodec::codecForLocale());
    QTextCodec::ConverterState state;
    const QString text = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    const bool invalid = state.invalidChars > 0 || state.remainingChars > 0;
    if (codec->mibEnum() == utf8Mib && invalid)
        return QTextCodec::codecForName("Windows-1251")->toUnicode(bytes);
    return text;
}

QString TableFileReader::readLine()
{
    int end = m_text.indexOf(QLatin1Char('\n'), m_position);
    if (end < 0)
        end = m_text.size();
    int length = end - m_position;
    if (length > 0 && m_text.at(end - 1) == QLatin1Char('\r'))
        --length;
    const QString line = m_text.mid(m_position, length);
    m_position = end + 1;
    return line;
}

int forEachNumberedLine(TableFileReader &reader,
                        const std::function<int(const NumberedLine &)> &handle)
{
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        if (line.isEmpty())
            continue;
        if (line.size() < minimumLineLength)
            return ERR_INVALID_DATA;
        StreamIntScanner scanner(line);
        NumberedLine numbered;
        numbered.first = scanner.readInt();
        numbered.second = scanner.readInt();
        numbered.third = scanner.readInt();
        numbered.text = scanner.restAfterTab();
        const int result = handle(numbered);
        if (result != ERR_OK)
            return result;
    }
    return ERR_OK;
}
