#pragma once

#include <QByteArray>

class RegisterEmulator;
class protocolPelto;

// Commands to the register and their answers, for comparing what comes over
// the line with a register emulated in the test.
namespace RegisterCommands {

QByteArray read(int deviceTable, int row, int field);
QByteArray write(int deviceTable, int row, int field, const QByteArray &data);
// The answer's data; empty when the register answered with an error byte.
QByteArray answerData(RegisterEmulator &reference, const QByteArray &request);
QByteArray wholeDump(RegisterEmulator &reference, int kind);
// A field read through the protocol as raw bytes: 0 or the protocol's failure code.
int readRaw(protocolPelto &protocol, int table, int row, int field, QByteArray &data);

} // namespace RegisterCommands
