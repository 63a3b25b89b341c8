#include "errorcode.h"

namespace {

const char *messageOf(int code)
{
    switch (code) {
    case ERR_OK:
        return "Ошибок нет";
    case ERR_WRONG_TABLE_NUMBER:
        return "Неверный номер таблицы";
    case ERR_FILE_OPEN:
        return "Невозможно открыть файл";
    case ERR_TABLE_EMPTY:
        return "Таблица пуста";
    case ERR_WRONG_STATE:
        return "Неверное состояние";
    case ERR_DATA_NOT_SENT:
        return "Данные не переданы";
    case ERR_WRONG_LENGTH:
        return "Неверная длина";
    case ERR_PORT_NOT_OPEN:
        return "Порт не открыт";
    case ERR_INVALID_DATA:
        return "Некорректные данные";
    case ERR_TIMEOUT:
        return "Истёк таймаут";
    case ERR_CHECKSUM:
        return "Ошибка контрольной суммы";
    case ERR_CANCELLED:
        return "Прервано пользователем";
    case ERR_BAD_PACKET:
        return "Некорректный пакет";
    case ERR_DEVICE_WRONG_TABLE:
        return "Неверный номер таблицы";
    case ERR_DEVICE_WRONG_ROW:
        return "Неверный номер ряда";
    case ERR_DEVICE_WRONG_FIELD:
        return "Неверный номер поля";
    case ERR_DEVICE_WRONG_LENGTH:
        return "Неверная длина";
    case ERR_SHIFT_OPEN:
        return "Открыта смена, запись запрещена";
    case ERR_DEVICE:
        return "Ошибка ККМ";
    default:
        return "Неизвестная ошибка";
    }
}

} // namespace

QString errorCodeToString(int code)
{
    return QString::fromUtf8(messageOf(code));
}
