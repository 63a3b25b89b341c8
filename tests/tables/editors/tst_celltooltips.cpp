#include "cellfield.h"
#include "fieldtypes.h"
#include "qmytablewidget.h"
#include "tabletestsupport.h"
#include "testdata.h"

#include <QRegularExpression>
#include <QToolTip>

namespace {

// Which ends of a rule's range the cell refuses to pass: a narrow binary field
// wraps a negative value, one of four to seven bytes wraps at both ends.
constexpr int none = 0, above = 1, below = 2, both = above | below;

// One step of the bound's last decimal place away from zero: up past an upper
// bound, down past a lower one (the rules' bounds lie on those sides of zero).
QString beyond(QString bound, bool up)
{
    const int decimals = bound.contains('.') ? bound.size() - bound.indexOf('.') - 1 : 0;
    QString digits = QString::number(bound.remove('-').remove('.').toULongLong() + 1)
                         .rightJustified(decimals + 1, '0');
    return (up ? "" : "-") + digits.insert(digits.size() - decimals, decimals ? "." : "");
}

} // namespace

class TestCellToolTips : public QObject
{
    Q_OBJECT
private slots:
    // The rule's text, and that the cell takes its bounds and refuses one step past them.
    void rule_data()
    {
        columns<int, int, int, int, QString, int>("table", "field", "type", "width", "rule",
                                                  "refused");
        const auto row = [](const char *name, int table, int field, int type, int width,
                            const char *rule, int refused) {
            QTest::newRow(name) << table << field << type << width << QString::fromUtf8(rule)
                                << refused;
        };
        row("binary 1", 1, 4, FIELD_BIN, 1, "Число от 0 до 255", above);
        row("binary 2", 1, 4, FIELD_BIN, 2, "Число от 0 до 65 535", above);
        row("binary 4", 2, 3, FIELD_BIN, 4, "Число от -2 147 483 648 до 2 147 483 647", none);
        row("binary 8", 2, 3, FIELD_BIN, 8,
            "Число от -9 223 372 036 854 775 808 до 9 223 372 036 854 775 807", both);
        row("binary 9", 2, 3, FIELD_BIN, 9, "Поле шириной 9 байт не принимает значений", none);
        row("first of 32", 11, 1, FIELD_BIN_FIRST_OF_32, 32, "Число от 0 до 255", above);
        row("BCD 9", 2, 1, FIELD_BCD, 9, "Число до 18 цифр", none);
        row("date", 2, 1, FIELD_DATE, 3, "Дата: число до 6 цифр", none);
        row("leading zeroes", 2, 1, FIELD_BCD_LEADING_ZEROES, 4,
            "Число до 8 цифр, дополняется нулями слева", none);
        row("price 2", 1, 3, FIELD_CURRENCY_BCD, 2,
            "Сумма от 0.00 до 99.99, не более 2 знаков после точки", both);
        row("price 5, kopecks in 32 bits", 1, 3, FIELD_CURRENCY_BCD, 5,
            "Сумма от 0.00 до 21 474 836.47, не более 2 знаков после точки", both);
        row("binary money 2", 2, 3, FIELD_CURRENCY_BIN, 2,
            "Сумма от 0.00 до 655.35, не более 2 знаков после точки", above);
        row("binary money 4", 2, 3, FIELD_CURRENCY_BIN, 4,
            "Сумма от -21 474 836.48 до 21 474 836.47, не более 2 знаков после точки", both);
        row("text 21", 5, 1, FIELD_STR, 21, "Не более 21 символа", none);
        row("goods name", 1, 1, FIELD_STR, 64, "Не более 64 символов; буквы сохраняются заглавными",
            none);
        row("GSM text", 11, 1, FIELD_STR, 32,
            "Не более 32 символов; русские буквы сохраняются заглавными", none);
        row("unknown type", 2, 1, 9, 4, "Неизвестный тип поля 9", none);
    }

    void rule()
    {
        const auto [table, field, type, width, rule, refused] =
            fetch<int, int, int, int, QString, int>("table", "field", "type", "width", "rule",
                                                    "refused");
        const FieldAddress address{table, 1, field, type};
        QCOMPARE(fieldRule(address, width), rule);
        const auto valid = [&address, width = width](const QString &text) {
            return cellIsValid(address, width, text);
        };
        if (const auto count = QRegularExpression("(\\d+) (цифр|символ)").match(rule);
            count.hasMatch()) {
            // As many digits or letters as the rule allows, and one more.
            const QString one = count.captured(2) == QString::fromUtf8("цифр") ? "9" : "ж";
            QVERIFY(valid(one.repeated(count.captured(1).toInt())));
            QVERIFY(!valid(one.repeated(count.captured(1).toInt() + 1)));
        } else if (const auto range =
                       QRegularExpression("от (-?[\\d ]+(?:\\.\\d+)?) до ([\\d ]+(?:\\.\\d+)?)")
                           .match(rule);
                   range.hasMatch()) {
            const QString low = range.captured(1).remove(' ');
            const QString high = range.captured(2).remove(' ');
            QVERIFY(valid(low) && valid(high));
            if (refused & above)
                QVERIFY(!valid(beyond(high, true)));
            if (refused & below)
                QVERIFY(!valid(beyond(low, false)));
            if (high.contains('.'))
                QVERIFY(!valid(high + '1'));
        } else {
            QVERIFY(!valid(QStringLiteral("0")));
        }
    }

    // The tooltip of a real help event on the grid's viewport.
    void helpEvent_data()
    {
        columns<int, int, int, QString, QString>("table", "row", "column", "text", "tip");
        const QString password = QString::fromUtf8("Число до 12 цифр");
        QTest::newRow("valid") << 3 << 1 << 0 << QString() << password;
        QTest::newRow("red") << 3 << 1 << 0 << "12a"
                             << QString::fromUtf8("Неверное значение. ") + password;
        // Only a barcode in a spreadsheet's scientific notation is explained.
        const QString spreadsheet = QString::fromUtf8(
            "Неверное значение: штрихкод превращён электронной таблицей в число. Число до 12 "
            "цифр. Чтобы штрихкоды остались цифрами, сохраните таблицу в программе как «CSV для "
            "Excel» и откройте в электронной таблице этот файл.");
        QTest::newRow("barcode as a number") << 1 << 0 << 1 << "4.601E+12" << spreadsheet;
        QTest::newRow("barcode as a number, comma") << 1 << 0 << 1 << "4,60123E+12" << spreadsheet;
        QTest::newRow("barcode with a letter")
            << 1 << 0 << 1 << "4601E" << QString::fromUtf8("Неверное значение. Число до 12 цифр");
        QTest::newRow("flags as a number")
            << 1 << 0 << 6 << "1E+12"
            << QString::fromUtf8("Неверное значение. Число от 0 до 65 535");
        QTest::newRow("settings value") << 2 << 0 << 2 << QString() << password;
        QTest::newRow("settings field number") << 2 << 0 << 0 << QString() << QString();
    }

    void helpEvent()
    {
        const auto [table, row, column, text, tip] =
            fetch<int, int, int, QString, QString>("table", "row", "column", "text", "tip");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(table, 3);
        const auto editor = makeEditor(table);
        QCOMPARE(editor->readTable(protocol), 0);
        if (!text.isEmpty())
            editor->item(row, column)->setText(text);
        editor->resize(800, 300);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        QToolTip::hideText();
        QTRY_VERIFY(QToolTip::text().isEmpty());
        const QPoint pos = editor->visualItemRect(editor->item(row, column)).center();
        QHelpEvent event(QEvent::ToolTip, pos, editor->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(editor->viewport(), &event);
        QCOMPARE(QToolTip::text(), tip);
        QCOMPARE(editor->cellToolTip(row, column), tip);
    }
};

QTEST_MAIN(TestCellToolTips)
#include "tst_celltooltips.moc"
