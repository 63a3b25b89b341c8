#include "driversettings.h"

#include <QStringList>

#include <limits>

namespace {

struct BaudRate
{
    int code;
    int rate;
};

constexpr BaudRate BaudRates[] = {
    {10, 2400},  {11, 4800},  {12, 9600},   {13, 14400},  {14, 19200},  {15, 28800},
    {16, 38400}, {17, 57600}, {18, 115200}, {19, 230400}, {20, 460800}, {21, 921600},
};

bool baudRateOfCode(const QString &value, int &rate)
{
    bool isNumber = false;
    const int code = value.toInt(&isNumber);
    if (!isNumber)
        return false;
    for (const BaudRate &entry : BaudRates) {
        if (entry.code == code) {
            rate = entry.rate;
            return true;
        }
    }
    return false;
}

bool numberInRange(const QString &value, int min, int max, int &number)
{
    bool isNumber = false;
    const int parsed = value.toInt(&isNumber);
    if (!isNumber || parsed < min || parsed > max)
        return false;
    number = parsed;
    return true;
}

} // namespace

int DriverSettings::defaultEmulatorGoodsCount()
{
    int count = RegisterEmulator::DefaultGoodsCount;
    numberInRange(qEnvironmentVariable("MORVELL_BUILTIN_GOODS"), 0, RegisterEmulator::MaxGoodsCount,
                  count);
    return count;
}

bool DriverSettings::apply(const QString &text)
{
    DriverSettings updated = *this;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const int separator = line.indexOf(QLatin1Char('='));
        if (separator < 0)
            return false;
        const QString key = line.left(separator).trimmed();
        const QString value = line.mid(separator + 1);
        bool valid = true;
        if (key == QLatin1String("PortNumber"))
            valid = numberInRange(value, 0, std::numeric_limits<int>::max(), updated.portNumber);
        else if (key == QLatin1String("BaudRate"))
            valid = baudRateOfCode(value, updated.baudRate);
        else if (key == QLatin1String("DefaultPassword"))
            updated.defaultPassword = value;
        else if (key == QLatin1String("HostAddress"))
            updated.hostAddress = value.trimmed();
        else if (key == QLatin1String("EmulatorGoodsCount"))
            valid = numberInRange(value, 0, RegisterEmulator::MaxGoodsCount,
                                  updated.emulatorGoodsCount);
        if (!valid)
            return false;
    }
    *this = updated;
    return true;
}
