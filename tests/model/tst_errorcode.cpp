#include "errorcode.h"
#include "testdata.h"

class TestErrorCode : public QObject
{
    Q_OBJECT
private slots:
    void message_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QList<QPair<int, const char *>> texts = {{0, "Ошибок нет"},
                                                       {-90, "Неверный номер таблицы"},
                                                       {-91, "Невозможно открыть файл"},
                                                       {-92, "Таблица пуста"},
                                                       {-93, "Неверное состояние"},
                                                       {-94, "Данные не переданы"},
                                                       {-95, "Неверная длина"},
                                                       {-96, "Порт не открыт"},
                                                       {-97, "Некорректные данные"},
                                                       {-98, "Истёк таймаут"},
                                                       {-99, "Ошибка контрольной суммы"},
                                                       {-100, "Прервано пользователем"},
                                                       {-199, "Неизвестная ошибка"},
                                                       {-257, "Некорректный пакет"},
                                                       {-258, "Неверный номер таблицы"},
                                                       {-259, "Неверный номер ряда"},
                                                       {-260, "Неверный номер поля"},
                                                       {-261, "Неверная длина"},
                                                       {-262, "Открыта смена, запись запрещена"},
                                                       {-511, "Ошибка ККМ"}};
        for (const auto &[code, text] : texts)
            QTest::addRow("%d", code) << code << QString(text);
        for (int unknown : {1, -1, -101, -256, -263, -510, -512})
            QTest::addRow("%d", unknown) << unknown << QString("Неизвестная ошибка");
    }

    void message()
    {
        const auto [code, text] = fetch<int, QString>("code", "text");
        QCOMPARE(errorCodeToString(code), text);
    }
};

QTEST_APPLESS_MAIN(TestErrorCode)
#include "tst_errorcode.moc"
