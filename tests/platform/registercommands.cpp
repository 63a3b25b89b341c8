#include "registercommands.h"

#include "errorcode.h"
#include "fieldtypes.h"
#include "protocolpelto.h"
#include "registeremulator.h"

#include <memory>

using namespace RegisterProtocol;

namespace RegisterCommands {

QByteArray read(int deviceTable, int row, int field)
{
    QByteArray request;
    request.append(char(ReadField));
    request.append(char(deviceTable));
    request.append(char(row >> 8));
    request.append(char(row & 0xFF));
    request.append(char(field));
    return request;
}

QByteArray write(int deviceTable, int row, int field, const QByteArray &data)
{
    QByteArray request = read(deviceTable, row, field);
    request[0] = char(WriteField);
    return request + data;
}

QByteArray answerData(RegisterEmulator &reference, const QByteArray &request)
{
    Answer answer;
    if (!parseAnswer(reference.handle(request), answer) || answer.error != NoError)
        return QByteArray();
    return answer.data;
}

QByteArray wholeDump(RegisterEmulator &reference, int kind)
{
    answerData(reference, QByteArray(1, char(StartDump)) + char(kind));
    QByteArray dump;
    for (QByteArray block;
         !(block = answerData(reference, QByteArray(1, char(NextDumpBlock)))).isEmpty();)
        dump += block;
    return dump;
}

int readRaw(protocolPelto &protocol, int table, int row, int field, QByteArray &data)
{
    try {
        const std::unique_ptr<FieldBase> value(protocol.readField(FIELD_BIN, table, row, field));
        data = value->rawData();
    } catch (ErrorCode code) {
        return code;
    }
    return ERR_OK;
}

} // namespace RegisterCommands
