#include "codepage.h"
#include "testdata.h"

namespace {

// The schemes are "general", "mixed" and "capitals" (mixed, Latin raised).
QByteArray toDevice(const QString &scheme, const QString &text)
{
    QByteArray buffer(text.size(), '\0');
    if (scheme == "general")
        textToDeviceGeneral(text, buffer.data(), buffer.size());
    else
        textToDeviceMixed(text, buffer.data(), buffer.size(), scheme == "capitals");
    return buffer;
}

QString fromDevice(const QString &scheme, const QByteArray &bytes)
{
    QString text = QStringLiteral("stale");
    if (scheme == "general")
        deviceToTextGeneral(bytes.constData(), bytes.size(), text);
    else
        deviceToTextMixed(bytes.constData(), bytes.size(), text, scheme == "capitals");
    return text;
}

} // namespace

class TestCodePage : public QObject
{
    Q_OBJECT
private slots:
    void write_data()
    {
        columns<QString, QString, QByteArray>("scheme", "text", "bytes");
        const auto row = [](const char *name, const char *scheme, const char *text,
                            const char *hex) {
            QTest::newRow(name) << QString(scheme) << QString(text) << QByteArray::fromHex(hex);
        };
        row("number sign", "general", "№ 5", "242035");
        row("dollar", "general", "$", "FC");
        row("double width mark", "general", "»", "09");
        row("en dash", "general", "–", "FA");
        row("Cyrillic K as Latin", "general", "К", "4B");
        row("capitals", "general", "АБЯ", "80819F");
        row("small letters", "general", "апря", "A0AFE0EF");
        row("yo", "general", "Ёё", "85A5");
        row("euro and em dash", "general", "€—", "F2FA");
        row("typographic quotes", "general", "«“”", "3C2222");
        row("ascii", "general", "Az9~", "417A397E");
        row("not in code page", "general", "ж€漢", "A6F23F");
        row("small letter as capital", "mixed", "ж", "86");
        row("latin kept", "mixed", "abc", "616263");
        row("latin to capitals", "capitals", "abc", "414243");
        row("specials", "mixed", "$»Ёё–€№", "FC098585FAF224");
        row("unmapped to blank", "mixed", "`{\tѣ", "20202020");
        row("cyrillic range ends", "capitals", "АЯая", "809F809F");
    }

    void write()
    {
        const auto [scheme, text, bytes] =
            fetch<QString, QString, QByteArray>("scheme", "text", "bytes");
        QCOMPARE(toDevice(scheme, text).toHex(), bytes.toHex());
    }

    void read_data()
    {
        columns<QString, QByteArray, QString>("scheme", "bytes", "text");
        const auto row = [](const char *name, const char *scheme, const QByteArray &bytes,
                            const char *text) {
            QTest::newRow(name) << QString(scheme) << bytes << QString(text);
        };
        row("general capitals", "general", QByteArray::fromHex("001F"), "АЯ");
        row("general small", "general", QByteArray::fromHex("809F"), "ая");
        row("general specials", "general", QByteArray::fromHex("24A0A1A2FE7F"), "№$\uCB86–» ");
        row("general unknown", "general", QByteArray::fromHex("A3FDFF"), "???");
        row("general zero is a letter", "general", QByteArray(2, '\0'), "АА");
        row("mixed controls", "mixed", QByteArray::fromHex("000941"), " »A");
        row("mixed cyrillic", "mixed", QByteArray::fromHex("809FA0AFE0EF"), "АЯапря");
        row("mixed specials", "mixed", QByteArray::fromHex("24F0F1F2FAFC60"), "№ЕЕ€–$?");
        row("mixed unknown", "mixed", QByteArray::fromHex("7BB0DFF3FBFF"), "??????");
        row("mixed latin", "mixed", QByteArray::fromHex("617A"), "az");
        row("capitals latin", "capitals", QByteArray::fromHex("617A"), "AZ");
        row("capitals cyrillic", "capitals", QByteArray::fromHex("A0AFE0EF"), "АПРЯ");
    }

    void read()
    {
        const auto [scheme, bytes, text] =
            fetch<QString, QByteArray, QString>("scheme", "bytes", "text");
        QCOMPARE(fromDevice(scheme, bytes), text);
    }

    void writeStopsAtShorterOfTextAndBuffer()
    {
        QByteArray buffer("#####");
        textToDeviceGeneral("ab", buffer.data(), buffer.size());
        QCOMPARE(buffer, QByteArray("ab###"));
        textToDeviceMixed("abcdefg", buffer.data(), 3, false);
        QCOMPARE(buffer, QByteArray("abc##"));
    }
};

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
