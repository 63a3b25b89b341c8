#pragma once

#include <QString>

// The driver component's ResultCode values and their ResultDescription texts.
namespace DriverResult {

enum Code
{
    Ok = 0,
    NoConnection = -1,    // the register did not answer in time
    PortUnavailable = -2, // the location cannot be opened
    NotEnabled = -3,      // the call needs DeviceEnabled = true
    BadSettings = -4,     // DeviceSettings malformed; nothing applied
    BadStream = -5,       // OutboundStream not hexadecimal text, or StreamFormat not 3
    BadAnswer = -6,       // an answer not in the register's layout
    WrongPassword = -7,   // mode entry refused for its password
    DeviceError = -8,     // the register refused a command of the driver's own
    BadParameter = -9,    // Mode outside 0 to 255
};

struct Entry
{
    Code code;
    const char *description; // UTF-8
};

inline constexpr Entry Entries[] = {
    {Ok, "Ошибок нет"},
    {NoConnection, "Нет связи"},
    {PortUnavailable, "Порт недоступен"},
    {NotEnabled, "Устройство не подключено"},
    {BadSettings, "Некорректные настройки"},
    {BadStream, "Некорректный поток данных"},
    {BadAnswer, "Некорректный ответ ККТ"},
    {WrongPassword, "Неверный пароль"},
    {DeviceError, "Ошибка ККТ"},
    {BadParameter, "Некорректное значение параметра"},
};

QString description(int code);

} // namespace DriverResult
