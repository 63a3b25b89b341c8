#include "exchangetrace.h"

#include "exchangetext.h"

#include <QMutexLocker>

#include <unistd.h>

bool ExchangeTrace::open(const QString &path, QString &error)
{
    const bool opened =
        path == QLatin1String("-")
            ? m_file.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)
            : (m_file.setFileName(path),
               m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
    if (!opened) {
        error = m_file.errorString();
        return false;
    }
    write(ExchangeText::headerLine());
    return true;
}

void ExchangeTrace::exchanged(const ExchangeRecord &record)
{
    write(ExchangeText::line(record));
}

void ExchangeTrace::write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const QMutexLocker lock(&m_mutex);
    m_file.write(bytes);
}
