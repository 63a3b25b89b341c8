#include "tablefilereader.h"

#include <QFile>
#include <QTextCodec>

namespace {

constexpr int utf8Mib = 106;

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
