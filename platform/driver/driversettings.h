#pragma once

#include "registeremulator.h"

#include <QString>

// The part of the DeviceSettings text that the driver component acts on.
// The text is lines "key=value", each ended by a line feed. Known keys:
//   PortNumber          1000 + n selects the n-th serial port (COMn)
//   BaudRate            a code: 10 2400, 11 4800, 12 9600, 13 14400, 14 19200,
//                       15 28800, 16 38400, 17 57600, 18 115200, 19 230400,
//                       20 460800, 21 921600
//   DefaultPassword     the password SetMode uses when Password is empty
//   HostAddress         HOST:PORT of a register on the network, for the port
//                       entry "tcp://" alone
//   EmulatorGoodsCount  records in the built-in register's goods table, 0 to
//                       65535 (default 20, or the environment's
//                       MORVELL_BUILTIN_GOODS); a changed count takes effect at
//                       the next DeviceEnabled = true and builds that register anew
// Other keys are ignored. A key missing from the text keeps its value.
struct DriverSettings
{
    int portNumber = 1001;
    int baudRate = 115200;
    QString defaultPassword = QStringLiteral("30");
    QString hostAddress;
    int emulatorGoodsCount = defaultEmulatorGoodsCount();

    // The environment's MORVELL_BUILTIN_GOODS where it is a count the table
    // can hold, so that a program started by a script or a benchmark can have
    // a full table; RegisterEmulator::DefaultGoodsCount otherwise.
    static int defaultEmulatorGoodsCount();

    // False, and nothing changed, when a non-empty line has no "=" or a known
    // key has a value out of its range.
    bool apply(const QString &text);
};
