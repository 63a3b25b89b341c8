#include "testdata.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int RunTimeoutMs = 30000;

struct Run
{
    int exitCode = -1;
    QString said;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

// The goods CSV through a real spreadsheet program: Gnumeric's ssconvert
// opens the file the command line saves, keeps it as a spreadsheet and saves
// it again as CSV with ";", each cell as the sheet shows it, as a user's save
// does. The command line then takes that file against the built-in register.
class TestSpreadsheetCsv : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    QString m_ssconvert;
    // Names a spreadsheet is to keep whole: with quotes, and with a ";".
    const QStringList m_names{"Сок \"Добрый\" 1л", "ООО \"Ромашка\"; филиал"};

    QString here(const QString &name) const { return m_dir.filePath(name); }

    Run run(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.setWorkingDirectory(m_dir.path());
        process.start(program, arguments);
        const bool ended = process.waitForFinished(RunTimeoutMs);
        if (!ended)
            process.kill();
        process.waitForFinished();
        const bool exited = ended && process.exitStatus() == QProcess::NormalExit;
        return {
            exited ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
    }

    // Gnumeric takes a file named .csv for comma-separated; under another
    // name it finds the ";" itself, as a user picks it in its import dialog.
    // Named, the first two records get the names, as a read cut short keeps
    // them for --resume, which writes them out.
    bool throughSpreadsheet(const QString &format, const QString &sheet, bool named,
                            QString &problem) const
    {
        const bool workbook = format == QLatin1String("xlsx");
        const QString saved = workbook ? "goods.xlsx" : "goods.txt";
        QStringList read{"read", "1", "--port", "EMU1", "--format", format, "-o", saved};
        if (named) {
            run(MORVELL_CLI, {"read", "1", "--port", "EMU1", "-o", saved + ".partial"});
            QString partial = QString::fromUtf8(fileBytes(here(saved + ".partial")));
            for (int record : {1, 2})
                partial.replace(QRegularExpression(QStringLiteral("^%1\t1\t64\t.*$").arg(record),
                                                   QRegularExpression::MultilineOption),
                                QStringLiteral("%1\t1\t64\t").arg(record) + m_names[record - 1]);
            read << "--resume";
            writeBytes(here(saved + ".partial"), partial.toUtf8());
        }
        const QStringList back = workbook ? QStringList{"goods." + sheet, "back.xlsx"}
                                          : QStringList{"-T",
                                                        "Gnumeric_stf:stf_assistant",
                                                        "-O",
                                                        "separator=; format=preserve",
                                                        "goods." + sheet,
                                                        "back.csv"};
        const QList<QPair<QString, QStringList>> steps{
            {MORVELL_CLI, read}, {m_ssconvert, {saved, "goods." + sheet}}, {m_ssconvert, back}};
        for (const auto &[program, arguments] : steps) {
            const Run result = run(program, arguments);
            if (result.exitCode != 0) {
                problem = arguments.join(' ') + '\n' + result.said;
                return false;
            }
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Installed by scripts/install-deps.sh tests: without it these tests fail.
        m_ssconvert = QStandardPaths::findExecutable(QStringLiteral("ssconvert"));
        QVERIFY2(!m_ssconvert.isEmpty(),
                 "ssconvert not found: install gnumeric (scripts/install-deps.sh tests)");
        m_environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"})
            m_environment.remove(QLatin1String(name));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), here("data"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), here("config"));
        m_environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    }

    // The file for spreadsheets comes back as the register has it, a price
    // with a decimal comma as with a point; the plain CSV's barcodes come back
    // as numbers in scientific notation, which are refused with the reason.
    void roundTrip_data()
    {
        columns<QString, QString, QString, QString, QString, int, QString, bool>(
            "format", "sheet", "from", "to", "command", "code", "says", "named");
        const auto row = [](const char *name, const char *format, const char *sheet,
                            const char *command, int code, const QString &says,
                            const char *from = "", const char *to = "", bool named = false) {
            QTest::newRow(name) << QString(format) << QString(sheet) << QString(from) << QString(to)
                                << QString(command) << code << says << named;
        };
        row("CSV для Excel, gnumeric", "excel", "gnumeric", "diff", 0, "^EMU1: Различий нет\n");
        row("CSV для Excel, ods", "excel", "ods", "write", 0,
            "^EMU1: Нет различий с файлом — ничего не записано\n");
        row("CSV для Excel, price with a decimal comma", "excel", "gnumeric", "diff", 0,
            "^EMU1: Различий нет\n", ";54.9;", ";54,9;");
        row("CSV для Excel, another price with a decimal comma", "excel", "gnumeric", "diff", 1,
            "^1\t3\t54.90\t54.8\nEMU1: Различий: 1\n", ";54.9;", ";54,8;");
        row("plain CSV", "csv", "gnumeric", "write", 5,
            "строка 1, столбец «Штрихкод»: «4\\.601E\\+12»\\. Неверное значение: штрихкод "
            "превращён электронной таблицей в число\\. .+«CSV для Excel»");
        // The register's names of the first two records against the sheet's.
        row("CSV для Excel, names with quotes and a semicolon", "excel", "ods", "diff", 1,
            "^1\t1\t.+\t" + m_names[0] + "\n2\t1\t.+\t" + m_names[1] + "\nEMU1: Различий: 2\n", "",
            "", true);
        // Our workbook through the spreadsheet program's own and the .ods
        // file, saved again as a workbook by it.
        row("xlsx, gnumeric", "xlsx", "gnumeric", "diff", 0, "^EMU1: Различий нет\n");
        row("xlsx, ods, names with quotes and a semicolon", "xlsx", "ods", "diff", 1,
            "^1\t1\t.+\t" + m_names[0] + "\n2\t1\t.+\t" + m_names[1] + "\nEMU1: Различий: 2\n", "",
            "", true);
    }

    void roundTrip()
    {
        const auto [format, sheet, from, to, command, code, says, named] =
            fetch<QString, QString, QString, QString, QString, int, QString, bool>(
                "format", "sheet", "from", "to", "command", "code", "says", "named");
        QString problem;
        QVERIFY2(throughSpreadsheet(format, sheet, named, problem), qPrintable(problem));
        const bool workbook = format == QLatin1String("xlsx");
        QByteArray back = fileBytes(here("back.csv"));
        // The sheet saves values: what was a text formula is plain text again.
        QVERIFY2(workbook || (!back.contains("=\"") && back.contains(";54.9;")),
                 back.left(300).constData());
        if (!from.isEmpty()) {
            back.replace(from.toUtf8(), to.toUtf8());
            QVERIFY(writeBytes(here("back.csv"), back));
        }
        const Run result =
            run(MORVELL_CLI, {command, "1", workbook ? "back.xlsx" : "back.csv", "--port", "EMU1"});
        QCOMPARE(result.exitCode, code);
        const QRegularExpression expected(says, QRegularExpression::MultilineOption);
        QVERIFY2(expected.match(result.said).hasMatch(), qPrintable(result.said));
    }

    // A price list the spreadsheet program saved as .xlsx, its barcodes and
    // prices numbers there, changes exactly the goods it names.
    void priceListFromSpreadsheet()
    {
        QVERIFY(writeBytes(here("prices.txt"), "Штрихкод\tЦена\tНазвание\n"
                                               "4601234000017\t55.5\t\n"
                                               "4601234000024\t\tКЕФИР 1Л\n"));
        QCOMPARE(run(m_ssconvert, {"prices.txt", "prices.xlsx"}).exitCode, 0);
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.setWorkingDirectory(m_dir.path());
        process.start(MORVELL_CLI, {"update", "1", "prices.xlsx", "--port", "EMU1", "--dry-run"});
        QVERIFY(process.waitForFinished(RunTimeoutMs));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
                 "1\t4601234000017\tХЛЕБ БЕЛЫЙ НАРЕЗНОЙ 400Г\tЦена\t54.90 → 55.5\n"
                 "2\t4601234000024\tМОЛОКО 3,2% 1Л\tНазвание\tМОЛОКО 3,2% 1Л → КЕФИР 1Л\n");
    }
};

QTEST_MAIN(TestSpreadsheetCsv)
#include "tst_spreadsheetcsv.moc"
