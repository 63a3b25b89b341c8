#pragma once

#include <QString>

#include <sys/types.h>

// The driver component's ResultCode values and their ResultDescription texts.
namespace DriverResult {

enum Code
{
    Ok = 0,
    NoConnection = -1,      // the register did not answer in time
    PortUnavailable = -2,   // the location cannot be opened, for no cause below
    NotEnabled = -3,        // the call needs DeviceEnabled = true
    BadSettings = -4,       // DeviceSettings malformed; nothing applied
    BadStream = -5,         // OutboundStream not hexadecimal text, or StreamFormat not 3
    BadAnswer = -6,         // an answer not in the register's layout
    WrongPassword = -7,     // mode entry refused for its password
    DeviceError = -8,       // the register refused a command of the driver's own
    BadParameter = -9,      // Mode outside 0 to 255
    NoSuchDevice = -10,     // nothing at the location
    PermissionDenied = -11, // the user may not open the device
    PortBusy = -12,         // another program holds the device
    DeviceGone = -13,       // the line failed while open: device unplugged, I/O error
    NotSerialPort = -14,    // the location is not a character device
    // A register on the network (tcp://HOST:PORT). -17 is the driver's end of a dump.
    ConnectionRefused = -20, // nothing accepts connections at the port
    HostNotFound = -21,      // the name does not resolve to an address
    NoRoute = -22,           // the network or host cannot be reached
    HostSilent = -23,        // the connection got no reply in time
    BadAddress = -24,        // the entry is not a host and a port
};

struct Entry
{
    Code code;
    const char *description; // UTF-8
    // What the user can do about it (UTF-8), or nullptr.
    const char *hint;
};

inline constexpr Entry Entries[] = {
    {Ok, "Ошибок нет", nullptr},
    {NoConnection, "Нет связи", "ККТ не отвечает: проверьте питание ККТ, кабель и скорость обмена"},
    {PortUnavailable, "Порт недоступен", nullptr},
    {NotEnabled, "Устройство не подключено", nullptr},
    {BadSettings, "Некорректные настройки", nullptr},
    {BadStream, "Некорректный поток данных", nullptr},
    {BadAnswer, "Некорректный ответ ККТ", nullptr},
    {WrongPassword, "Неверный пароль", nullptr},
    {DeviceError, "Ошибка ККТ", nullptr},
    {BadParameter, "Некорректное значение параметра", nullptr},
    {NoSuchDevice, "Устройство не найдено",
     "Проверьте, что ККТ или переходник подключены, и обновите список портов"},
    // The hint when the device's own owner, group and mode cannot be read;
    // otherwise permissionHint() gives it.
    {PermissionDenied, "Нет доступа к порту",
     "Попросите администратора дать вам доступ к устройству"},
    {PortBusy, "Порт занят другой программой",
     "Закройте программу, которая использует порт, и повторите"},
    {DeviceGone, "Связь с портом потеряна",
     "Устройство отключено или ошибка ввода-вывода: проверьте кабель и переходник и повторите"},
    {NotSerialPort, "Это не устройство последовательного порта",
     "Укажите устройство, например /dev/ttyUSB0"},
    // The hints of the network's results name the address: networkHint().
    {ConnectionRefused, "Подключение отклонено", nullptr},
    {HostNotFound, "Адрес не найден", nullptr},
    {NoRoute, "Нет маршрута к ККТ", nullptr},
    {HostSilent, "ККТ в сети не отвечает", nullptr},
    {BadAddress, "Неверный адрес ККТ в сети",
     "Укажите адрес и порт, например tcp://192.168.1.10:7778"},
};

// "description (detail). Hint." with the parts the code and detail have:
// plain "Порт недоступен" for a code without hint and an empty detail. A
// hint given here stands for the code's own.
QString description(int code, const QString &detail = QString(), const QString &hint = QString());

// What to do about a device the user may not open, from its owner, group and
// mode: join the group when its members may read and write the device, else
// who alone may open it.
QString permissionHint(uid_t owner, gid_t group, mode_t mode);
// The same for the device at path; empty when its status cannot be read.
QString permissionHint(const QString &path);

// What to do about a failure of a connection to host at port, for the
// network's results and for a register that does not answer there; empty for
// the others.
QString networkHint(int code, const QString &host, quint16 port);

} // namespace DriverResult
