#include "registerprotocol.h"

namespace RegisterProtocol {

namespace {

constexpr int IdentificationFixedSize = 10;

void appendWord(QByteArray &bytes, int value)
{
    bytes.append(char((value >> 8) & 0xFF));
    bytes.append(char(value & 0xFF));
}

int wordAt(const QByteArray &bytes, int offset)
{
    return (quint8(bytes[offset]) << 8) | quint8(bytes[offset + 1]);
}

} // namespace

QByteArray makeAnswer(ErrorByte error, const QByteArray &data)
{
    QByteArray answer;
    answer.reserve(2 + data.size());
    answer.append(AnswerMark);
    answer.append(char(error));
    answer.append(data);
    return answer;
}

bool parseAnswer(const QByteArray &bytes, Answer &answer)
{
    if (bytes.size() < 2 || bytes[0] != AnswerMark)
        return false;
    answer.error = quint8(bytes[1]);
    answer.data = bytes.mid(2);
    return true;
}

QByteArray Identification::encode() const
{
    QByteArray bytes;
    for (int value : {protocolVersion, type, model, mode, majorVersion, minorVersion})
        bytes.append(char(value & 0xFF));
    appendWord(bytes, build);
    appendWord(bytes, codePage);
    bytes.append(description.toUtf8());
    if (!serialNumber.isEmpty())
        bytes.append('\0').append(serialNumber.toLatin1());
    return bytes;
}

bool Identification::decode(const QByteArray &data, Identification &identification)
{
    if (data.size() < IdentificationFixedSize)
        return false;
    identification.protocolVersion = quint8(data[0]);
    identification.type = quint8(data[1]);
    identification.model = quint8(data[2]);
    identification.mode = quint8(data[3]);
    identification.majorVersion = quint8(data[4]);
    identification.minorVersion = quint8(data[5]);
    identification.build = wordAt(data, 6);
    identification.codePage = wordAt(data, 8);
    const QByteArray rest = data.mid(IdentificationFixedSize);
    const int end = rest.indexOf('\0');
    identification.description = QString::fromUtf8(end < 0 ? rest : rest.left(end));
    identification.serialNumber = end < 0 ? QString() : QString::fromLatin1(rest.mid(end + 1));
    return true;
}

} // namespace RegisterProtocol
