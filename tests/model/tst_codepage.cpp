#include "codepage.h"

#include <QtTest>

namespace {

QByteArray writeGeneral(const QString &text)
{
    QByteArray buffer(text.size(), '\0');
    textToDeviceGeneral(text, buffer.data(), buffer.size());
    return buffer;
}

QByteArray writeMixed(const QString &text, bool capitals)
{
    QByteArray buffer(text.size(), '\0');
    textToDeviceMixed(text, buffer.data(), buffer.size(), capitals);
    return buffer;
}

QString readGeneral(const QByteArray &bytes)
{
    QString text = QStringLiteral("stale");
    deviceToTextGeneral(bytes.constData(), bytes.size(), text);
    return text;
}

QString readMixed(const QByteArray &bytes, bool capitals)
{
    QString text = QStringLiteral("stale");
    deviceToTextMixed(bytes.constData(), bytes.size(), text, capitals);
    return text;
}

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

} // namespace

class TestCodePage : public QObject
{
    Q_OBJECT
private slots:
    void generalWrite_data();
    void generalWrite();
    void mixedWrite_data();
    void mixedWrite();
    void read_data();
    void read();
    void writeStopsAtShorterOfTextAndBuffer();
};

void TestCodePage::generalWrite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("number sign") << u("№ 5") << QByteArray::fromHex("242035");
    QTest::newRow("dollar") << u("$") << QByteArray::fromHex("FC");
    QTest::newRow("double width mark") << u("»") << QByteArray::fromHex("09");
    QTest::newRow("en dash") << u("–") << QByteArray::fromHex("FA");
    QTest::newRow("Cyrillic K as Latin") << u("К") << QByteArray::fromHex("4B");
    QTest::newRow("capitals") << u("АБЯ") << QByteArray::fromHex("80819F");
    QTest::newRow("small letters") << u("апря") << QByteArray::fromHex("A0AFE0EF");
    QTest::newRow("yo") << u("Ёё") << QByteArray::fromHex("85A5");
    QTest::newRow("euro and em dash") << u("€—") << QByteArray::fromHex("F2FA");
    QTest::newRow("typographic quotes") << u("«“”") << QByteArray::fromHex("3C2222");
    QTest::newRow("ascii") << u("Az9~") << QByteArray::fromHex("417A397E");
    QTest::newRow("not in code page") << u("ж€漢") << QByteArray::fromHex("A6F23F");
}

void TestCodePage::generalWrite()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(writeGeneral(text).toHex(), bytes.toHex());
}

void TestCodePage::mixedWrite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("capitals");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("small letter as capital") << u("ж") << false << QByteArray::fromHex("86");
    QTest::newRow("latin kept") << u("abc") << false << QByteArray::fromHex("616263");
    QTest::newRow("latin to capitals") << u("abc") << true << QByteArray::fromHex("414243");
    QTest::newRow("specials") << u("$»Ёё–€№") << false << QByteArray::fromHex("FC098585FAF224");
    QTest::newRow("unmapped to blank") << u("`{\tѣ") << false << QByteArray::fromHex("20202020");
    QTest::newRow("cyrillic range ends") << u("АЯая") << true << QByteArray::fromHex("809F809F");
}

void TestCodePage::mixedWrite()
{
    QFETCH(QString, text);
    QFETCH(bool, capitals);
    QFETCH(QByteArray, bytes);
    QCOMPARE(writeMixed(text, capitals).toHex(), bytes.toHex());
}

void TestCodePage::read_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("general capitals") << "general" << QByteArray::fromHex("001F") << u("АЯ");
    QTest::newRow("general small") << "general" << QByteArray::fromHex("809F") << u("ая");
    QTest::newRow("general specials")
        << "general" << QByteArray::fromHex("24A0A1A2FE7F") << u("№$\uCB86–» ");
    QTest::newRow("general unknown") << "general" << QByteArray::fromHex("A3FDFF") << u("???");
    QTest::newRow("general zero is a letter") << "general" << QByteArray(2, '\0') << u("АА");
    QTest::newRow("mixed controls") << "mixed" << QByteArray::fromHex("000941") << u(" »A");
    QTest::newRow("mixed cyrillic")
        << "mixed" << QByteArray::fromHex("809FA0AFE0EF") << u("АЯапря");
    QTest::newRow("mixed specials")
        << "mixed" << QByteArray::fromHex("24F0F1F2FAFC60") << u("№ЕЕ€–$?");
    QTest::newRow("mixed unknown") << "mixed" << QByteArray::fromHex("7BB0DFF3FBFF") << u("??????");
    QTest::newRow("mixed latin") << "mixed" << QByteArray::fromHex("617A") << u("az");
    QTest::newRow("capitals latin") << "capitals" << QByteArray::fromHex("617A") << u("AZ");
    QTest::newRow("capitals cyrillic")
        << "capitals" << QByteArray::fromHex("A0AFE0EF") << u("АПРЯ");
}

void TestCodePage::read()
{
    QFETCH(QString, scheme);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString decoded =
        scheme == "general" ? readGeneral(bytes) : readMixed(bytes, scheme == "capitals");
    QCOMPARE(decoded, text);
}

void TestCodePage::writeStopsAtShorterOfTextAndBuffer()
{
    QByteArray buffer("#####");
    textToDeviceGeneral(u("ab"), buffer.data(), buffer.size());
    QCOMPARE(buffer, QByteArray("ab###"));
    textToDeviceMixed(u("abcdefg"), buffer.data(), 3, false);
    QCOMPARE(buffer, QByteArray("abc##"));
}

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
