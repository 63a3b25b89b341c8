#include "errorcode.h"

QString errorCodeToString(int code)
{
    const char *text = "Неизвестная ошибка";
    switch (code) {
    case ERR_OK:
        text = "Ошибок нет";
        break;
    case ERR_WRONG_TABLE_NUMBER:
        text = "Неверный номер таблицы";
        break;
    case ERR_FILE_OPEN:
        text = "Невозможно открыть файл";
        break;
    case ERR_TABLE_EMPTY:
        text = "Таблица пуста";
        break;
    case ERR_WRONG_STATE:
        text = "Неверное состояние";
        break;
    case ERR_DATA_NOT_SENT:
        text = "Данные не переданы";
        break;
    case ERR_WRONG_LENGTH:
        text = "Неверная длина";
        break;
    case ERR_PORT_NOT_OPEN:
        text = "Порт не открыт";
        break;
    case ERR_INVALID_DATA:
        text = "Некорректные данные";
        break;
    case ERR_TIMEOUT:
        text = "Истёк таймаут";
        break;
    case ERR_CHECKSUM:
        text = "Ошибка контрольной суммы";
        break;
    case ERR_CANCELLED:
        text = "Прервано пользователем";
        break;
    case ERR_BAD_PACKET:
        text = "Некорректный пакет";
        break;
    case ERR_DEVICE_WRONG_TABLE:
        text = "Неверный номер таблицы";
        break;
    case ERR_DEVICE_WRONG_ROW:
        text = "Неверный номер ряда";
        break;
    case ERR_DEVICE_WRONG_FIELD:
        text = "Неверный номер поля";
        break;
    case ERR_DEVICE_WRONG_LENGTH:
        text = "Неверная длина";
        break;
    case ERR_SHIFT_OPEN:
        text = "Открыта смена, запись запрещена";
        break;
    case ERR_DEVICE:
        text = "Ошибка ККМ";
        break;
    default:
        break;
    }
    return QString::fromUtf8(text);
}
