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
    const char bytes[] = {char(ReadField), char(deviceTable), char(row >> 8), char(row & 0xFF),
                          char(field)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray write(int deviceTable, int row, int field, const QByteArray &data)
{
    return char(WriteField) + read(deviceTable, row, field).mid(1) + data;
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
