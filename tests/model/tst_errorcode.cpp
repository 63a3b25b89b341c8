#include "errorcode.h"

#include <QtTest>

class TestErrorCode : public QObject
{
    Q_OBJECT
private slots:
    void message_data();
    void message();
};

void TestErrorCode::message_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, int code, const char *text) {
        QTest::newRow(name) << code << QString::fromUtf8(text);
    };
    row("ok", 0, "Ошибок нет");
    row("wrong table", -90, "Неверный номер таблицы");
    row("file open", -91, "Невозможно открыть файл");
    row("table empty", -92, "Таблица пуста");
    row("wrong state", -93, "Неверное состояние");
    row("data not sent", -94, "Данные не переданы");
    row("wrong length", -95, "Неверная длина");
    row("port not open", -96, "Порт не открыт");
    row("invalid data", -97, "Некорректные данные");
    row("timeout", -98, "Истёк таймаут");
    row("checksum", -99, "Ошибка контрольной суммы");
    row("cancelled", -100, "Прервано пользователем");
    row("not supported", -199, "Неизвестная ошибка");
    row("bad packet", -257, "Некорректный пакет");
    row("device wrong table", -258, "Неверный номер таблицы");
    row("device wrong row", -259, "Неверный номер ряда");
    row("device wrong field", -260, "Неверный номер поля");
    row("device wrong length", -261, "Неверная длина");
    row("shift open", -262, "Открыта смена, запись запрещена");
    row("device", -511, "Ошибка ККМ");
    for (int unknown : {1, -1, -101, -256, -263, -510, -512})
        QTest::newRow(qPrintable(QString::number(unknown))) << unknown << QString::fromUtf8("Неизвестная ошибка");
}

void TestErrorCode::message()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(errorCodeToString(code), text);
}

QTEST_APPLESS_MAIN(TestErrorCode)
#include "tst_errorcode.moc"
