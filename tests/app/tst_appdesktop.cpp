#include "applicationicon.h"
#include "startup.h"
#include "testdata.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

// What the program shows of itself on the desktop: its icon and Qt's own texts in Russian.
class TestAppDesktop : public QObject
{
    Q_OBJECT

private slots:
    void qtTranslationsGiveRussianStandardButtons_data()
    {
        columns<QString, bool, QString, QString>("directory", "loaded", "yes", "no");
        QTest::newRow("Qt's translations")
            << QLibraryInfo::location(QLibraryInfo::TranslationsPath) << true << "Да"
            << "Нет";
        QTest::newRow("missing: Qt's English kept")
            << QDir(QDir::tempPath()).filePath(QStringLiteral("no-such-directory")) << false
            << "Yes"
            << "No";
    }

    void qtTranslationsGiveRussianStandardButtons()
    {
        const auto [directory, loaded, yes, no] =
            fetch<QString, bool, QString, QString>("directory", "loaded", "yes", "no");
        const bool result = installQtTranslations(*qApp, directory);
        const QList<QTranslator *> translators = qApp->findChildren<QTranslator *>();
        QString yesText, noText;
        {
            QMessageBox box;
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            yesText = box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&'));
            noText = box.button(QMessageBox::No)->text().remove(QLatin1Char('&'));
        }
        // Deleting a translator uninstalls it, so the next row starts from Qt's English.
        qDeleteAll(translators);

        QCOMPARE(result, loaded);
        QCOMPARE(translators.size(), loaded ? 1 : 0);
        QCOMPARE(yesText, yes);
        QCOMPARE(noText, no);
    }

    void iconHoldsEverySize_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256})
            QTest::addRow("%d px", size) << size;
    }

    void iconHoldsEverySize()
    {
        QFETCH(int, size);
        const QIcon icon = applicationIcon();
        const QSize square(size, size);
        QVERIFY(icon.availableSizes().contains(square));
        // A size drawn from its own file, not scaled from another one.
        const QImage drawn = QImage(QStringLiteral(":/icons/%1x%1/morvell.png").arg(size))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(drawn.size(), square);
        QCOMPARE(icon.pixmap(square).toImage().convertToFormat(drawn.format()), drawn);
    }
};

QTEST_MAIN(TestAppDesktop)
#include "tst_appdesktop.moc"
