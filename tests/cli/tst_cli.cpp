#include "logcapture.h"
#include "pseudoterminal.h"
#include "registerprocess.h"
#include "testdata.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <memory>

namespace {

constexpr int RunTimeoutMs = 30000;
// Goods rows of goods-changed.txt that differ from the register in every field.
constexpr int changedGoodsRows = 3;
const QString noDevice = QStringLiteral("/dev/nonexistent-tty");
// Row 1's name in the users' table; the register keeps its "K" Latin.
const QString firstUser = QStringLiteral("Kассир 1");
const QString plantedName = QStringLiteral("Новое имя");
const QString plantedDifference = "1\t2\t" + firstUser + '\t' + plantedName;
const QString semicolonName = QStringLiteral("ООО \"Ромашка\"; филиал");

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList fileLines(const QString &path)
{
    return QString::fromUtf8(fileBytes(path)).split(QLatin1Char('\n'));
}

bool writeLines(const QString &path, const QStringList &content)
{
    QFile file(path);
    const QByteArray bytes = content.join(QLatin1Char('\n')).toUtf8();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Replaces the first line from index from on that starts with prefix; an
// empty replacement removes it.
bool replaceLine(QStringList &content, const QString &prefix, const QString &replacement,
                 int from = 0)
{
    const int index =
        content.indexOf(QRegularExpression(QRegularExpression::escape(prefix) + ".*"), from);
    if (index >= 0 && replacement.isEmpty())
        content.removeAt(index);
    else if (index >= 0)
        content[index] = replacement;
    return index >= 0;
}

QStringList directoryEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Bytes the process has read in all; an emulator program that waits for its
// line reads nothing more until a request comes.
qint64 bytesRead(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/io").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression rchar(QStringLiteral("^rchar: (\\d+)$"),
                                   QRegularExpression::MultilineOption);
    return rchar.match(QString::fromLatin1(file.readAll())).captured(1).toLongLong();
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QProcessEnvironment m_environment;
    // The same, but where AddressSanitizer looks for leaks with exact stacks.
    QProcessEnvironment m_leakChecked;
    QTemporaryDir m_home;
    // The directory of stable port names the program looks in.
    QString m_byId;
    // Files made from the built-in register's tables in initTestCase.
    QTemporaryDir m_inputs;
    // Each case's working directory, where its outputs go.
    std::unique_ptr<QTemporaryDir> m_dir;
    // Only read, except by cases that must leave it as it was.
    RegisterProcess m_emulator;
    // The same on a TCP port of the loopback.
    RegisterProcess m_networkEmulator;

    QString input(const QString &name) const { return m_inputs.filePath(name); }
    QString here(const QString &name) const { return m_dir->filePath(name); }

    QString networkPort() const { return "tcp://" + m_networkEmulator.path(); }

    // The command's words; "{emu}" stands for the emulator program's
    // terminal, "{tcp}" for its address on the network, "{in}" for the
    // directory of inputs.
    void start(QProcess &process, const QString &command,
               const QProcessEnvironment *environment = nullptr) const
    {
        QStringList arguments = command.split(QLatin1Char(' '));
        arguments.replaceInStrings(QStringLiteral("{emu}"), m_emulator.path());
        arguments.replaceInStrings(QStringLiteral("{tcp}"), networkPort());
        arguments.replaceInStrings(QStringLiteral("{in}"), m_inputs.path());
        process.setProcessEnvironment(environment ? *environment : m_environment);
        process.setWorkingDirectory(m_dir ? m_dir->path() : m_inputs.path());
        process.start(QStringLiteral(MORVELL_CLI), arguments);
    }

    Run run(const QString &command, const QProcessEnvironment *environment = nullptr) const
    {
        QProcess process;
        start(process, command, environment);
        const bool ended = process.waitForFinished(RunTimeoutMs);
        if (!ended)
            process.kill();
        process.waitForFinished();
        const bool exited = ended && process.exitStatus() == QProcess::NormalExit;
        return {exited ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Starts the command with -v and returns once its first table read has
    // gone out; log collects its standard error.
    bool startUntilReading(QProcess &process, const QString &command, QByteArray &log)
    {
        connect(&process, &QProcess::readyReadStandardError, this,
                [&process, &log] { log += process.readAllStandardError(); });
        start(process, command + " -v");
        return QTest::qWaitFor([&log] { return log.contains("exchange 46"); }, RunTimeoutMs);
    }

    // Whether the directory holds no file but what reads cut short keep.
    static bool onlyPartialFiles(const QString &directory)
    {
        const QStringList entries = directoryEntries(directory);
        return std::all_of(entries.begin(), entries.end(),
                           [](const QString &entry) { return entry.endsWith(".partial"); });
    }

    // Every table of the register on port, below the profile's dated header;
    // empty when the backup failed.
    QStringList tables(const QString &port) const
    {
        const QString path = m_home.filePath(QStringLiteral("snapshot.prf"));
        if (run(QStringLiteral("backup -o %1 --port %2").arg(path, port)).exitCode != 0)
            return {};
        return fileLines(path).mid(3);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_inputs.isValid());
        // The program is to need no display and no platform plugin: a platform
        // that no machine has would stop any program that loads one.
        m_environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"})
            m_environment.remove(QLatin1String(name));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-installed"));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath("data"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config"));
        m_byId = m_home.filePath("by-id");
        m_environment.insert(QStringLiteral("MORVELL_SERIAL_BY_ID"), m_byId);
        // The exact stacks of leak reports make every allocation of an
        // instrumented program slow: one case looks for leaks, the rest not.
        m_leakChecked = m_environment;
        const QString sanitizer = m_environment.value(QStringLiteral("ASAN_OPTIONS"));
        if (sanitizer.contains(QLatin1String("fast_unwind_on_malloc=0")))
            m_environment.insert(QStringLiteral("ASAN_OPTIONS"),
                                 QString(sanitizer).replace(
                                     QLatin1String("fast_unwind_on_malloc=0"),
                                     QLatin1String("fast_unwind_on_malloc=1:detect_leaks=0")));
        QVERIFY(m_emulator.start({"--goods", "20"}));
        QVERIFY(m_networkEmulator.start({"--goods", "20", "--listen", "127.0.0.1:0"}));

        QCOMPARE(run("read 3 -o users.txt --port EMU1").exitCode, 0);
        QCOMPARE(run("read 1 -o goods.txt --port EMU1").exitCode, 0);
        QCOMPARE(run("read 1 -o goods.csv --port EMU1").exitCode, 0);
        // Every field of the first three goods other than the register has it.
        QStringList goods = fileLines(input("goods.txt"));
        for (QString &line : goods) {
            QStringList parts = line.split('\t');
            const int row = parts.value(0).toInt();
            if (parts.size() != 4 || row < 1 || row > changedGoodsRows)
                continue;
            const int field = parts.at(1).toInt();
            parts[3] = field == 1   ? QString("Новый товар %1").arg(row)
                       : field == 2 ? QString("20000000000%1").arg(row)
                       : field == 3 ? QString("1%1.25").arg(row)
                                    : QString::number(parts.at(3).toInt() + 1);
            line = parts.join('\t');
        }
        QVERIFY(writeLines(input("goods-changed.txt"), goods));
        // A name the plain CSV cannot hold, kept as a read cut short keeps it.
        QStringList named = fileLines(input("goods.txt"));
        QVERIFY(replaceLine(named, "2\t1\t", "2\t1\t64\t" + semicolonName));
        QVERIFY(writeLines(input("named.csv.partial"), named));
        QCOMPARE(run("backup -o profile.prf --port EMU1").exitCode, 0);
        QStringList users = fileLines(input("users.txt"));
        QCOMPARE(users.value(2), "1\t2\t24\t" + firstUser);
        // "€" has no byte in the register's text layout: it keeps another.
        QStringList unkept = users;
        QVERIFY(replaceLine(unkept, "5\t2\t", "5\t2\t24\tКасса €"));
        QVERIFY(writeLines(input("unkept.txt"), unkept));
        QVERIFY(replaceLine(users, "1\t2\t", "1\t2\t24\t" + plantedName));
        QVERIFY(writeLines(input("planted.txt"), users));
        // A change first, then a defect: a partial write would show.
        QStringList extraRow = users;
        extraRow << "99\t2\t24\tИмя";
        QVERIFY(writeLines(input("extrarow.txt"), extraRow));
        QStringList badValue = users;
        QVERIFY(replaceLine(badValue, "10\t1\t", "10\t1\t4\tabc"));
        QVERIFY(writeLines(input("badvalue.txt"), badValue));
        QVERIFY(replaceLine(users, "10\t1\t", "10\tx\t4\t30"));
        QVERIFY(writeLines(input("badfield.txt"), users));

        QStringList profile = fileLines(input("profile.prf"));
        const int usersTable = profile.indexOf("[3]");
        QVERIFY(usersTable > 0);
        QStringList unkeptProfile = profile;
        QVERIFY(replaceLine(unkeptProfile, "5\t2\t", "5\t2\t24\tКасса €", usersTable));
        QVERIFY(writeLines(input("unkept.prf"), unkeptProfile));
        QVERIFY(replaceLine(profile, "1\t2\t", "1\t2\t24\t" + plantedName, usersTable));
        QVERIFY(writeLines(input("planted.prf"), profile));
        QStringList badValueProfile = profile;
        QVERIFY(replaceLine(badValueProfile, "10\t1\t", "10\t1\t4\tabc", usersTable));
        QVERIFY(writeLines(input("badvalue.prf"), badValueProfile));
        profile << "1\tx\t2\t5";
        QVERIFY(writeLines(input("damaged.prf"), profile));
        // Tax rates are not written by restore.
        QStringList taxes = fileLines(input("profile.prf"));
        QVERIFY(replaceLine(taxes, "1\t1\t20\t", "1\t1\t20\tНДС 99%", taxes.indexOf("[7]")));
        QVERIFY(writeLines(input("taxes.prf"), taxes));
    }

    // A machine with no display libraries runs it: neither widgets nor the
    // GUI library are loaded, whatever the platform says.
    void linksNoWidgetsNorGui()
    {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {QStringLiteral(MORVELL_CLI)});
        QVERIFY(ldd.waitForFinished(30000));
        const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        QVERIFY(libraries.contains(QLatin1String("libQt5Core")));
        QVERIFY2(!libraries.contains(QLatin1String("libQt5Widgets")) &&
                     !libraries.contains(QLatin1String("libQt5Gui")),
                 qPrintable(libraries));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Each command's exit code and what it says. Nothing but its -o file
    // appears, and only on success; the emulator program, which changing
    // commands leave to the built-in register, keeps its tables.
    void exitCodes_data()
    {
        columns<QString, int, QString>("command", "code", "says");
        const auto row = [](const char *command, int code, const QString &says) {
            QTest::newRow(command) << QString(command) << code << says;
        };
        row("ports", 0, "^EMU1\t[^\n]*\n\\z");
        row("check --port {emu}", 0, "Связь установлена \\(ККТ .+\\)\n");
        row("read 3 --port {emu}", 0, "\\A3\n1\t1\t4\t1\n");
        row("write 3 {in}/users.txt --port EMU1", 0,
            "^EMU1: Нет различий с файлом — ничего не записано\n");
        row("write 3 {in}/planted.txt --port EMU1", 0,
            "^EMU1: Записано 1 поле за [^\n]+, проверено\n");
        row("write 3 {in}/planted.txt --port EMU1 --no-verify", 0,
            "^EMU1: Записано 1 поле за [^,\n]+\n");
        row("write 3 {in}/unkept.txt --port EMU1", 6,
            "^EMU1: Ошибка ККМ\n    Проверка записи: 1 несовпадение — строка 5, «Имя»\\.\n");
        row("write 3 {in}/unkept.txt --port EMU1 --no-verify", 0, "^EMU1: Записано 1 поле");
        row("diff 3 {in}/users.txt --port EMU1", 0, "\\AEMU1: Различий нет\n\\z");
        row("diff 3 {in}/planted.txt --port EMU1", 1,
            "\\A" + plantedDifference + "\nEMU1: Различий: 1\n\\z");
        row("dump 1 -o dump.bin --port {emu}", 0, ": Считано 65.536 байт за ");
        row("dump 2 -o dump.bin --port {emu}", 0, ": Считано 8.000 байт за ");
        row("backup -o saved.prf --port {emu}", 0, ": Прочитано \\d+ записей за ");
        row("restore {in}/planted.prf --port EMU1", 0,
            "^EMU1: Записано 1 поле за [^\n]+, проверено\n");
        row("restore {in}/taxes.prf --port {emu}", 0,
            ": Нет различий с профилем — ничего не записано\n");
        row("restore {in}/unkept.prf --port EMU1", 6,
            "\n    Таблица «Пользователи и пароли»\\.\n    Проверка записи: 1 несовпадение");
        row("check --port /dev/nonexistent-tty", 3, ": Порт не открыт\n    Устройство не найдено");
        row("check --port /dev/nonexistent-tty --json", 3, "\"summary\":\"\"");
        row("check --port NOPE", 3, "^NOPE: Нет такого порта\n");
        row("read 3 -o nowhere/users.txt --port EMU1", 5,
            "^EMU1: Невозможно открыть файл\n    Файл: nowhere/users.txt\n");
        row("read 1 -o {in}/named.csv --resume --port EMU1", 5,
            "^EMU1: Некорректные данные\n    Файл: [^\n]+named.csv\n    Запись 2, поле «Название»: "
            "«" +
                semicolonName +
                "» — знак «;» .+«CSV для Excel»\\.\n    Здесь .+ --format excel\\.\n");
        // Refused before any port or file is touched.
        const QString usage = "\\Amorvell-cli: [^\n]+\n\\z";
        row("read 99 -o out.txt --port {emu}", 2, usage);
        row("read 3 -o out.txt --bogus --port {emu}", 2, usage);
        row("write 3 --port {emu}", 2, usage);
        row("read 3 -o out.txt", 2, usage);
        row("read 3 -o out.txt --format csv --port {emu}", 2, usage);
        row("read 3 -o out.txt --format excel --port {emu}", 2, usage);
        row("read 1 --format xlsx --port {emu}", 2,
            "\\Amorvell-cli: Книга Excel \\(xlsx\\) - двоичный файл[^\n]+\n\\z");
        row("read 3 -o out.txt --retries 11 --port {emu}", 2, usage);
        row("find --baud 1000", 2, usage);
        row("read 3 --resume --port {emu}", 2, usage);
        row("diff 3 {in}/users.txt --resume --port {emu}", 2, usage);
        row("read 3 -o out.txt --port {emu} --port EMU1", 2, usage);
        row("read 3 -o same_{port}.txt --port /a/tty9 --port /b/tty9 --port {emu}", 2,
            "\\Amorvell-cli: [^\n]+ /a/tty9 и /b/tty9 [^\n]+same_tty9.txt\n\\z");
        row("write 7 {in}/users.txt --port {emu}", 2, usage);
        // Input files are refused before the register is written.
        row("write 3 {in}/none.txt --port {emu}", 5, ": Невозможно открыть файл\n");
        row("write 3 {in}/profile.prf --port {emu}", 5, ": Неверный номер таблицы\n");
        row("write 3 {in}/badfield.txt --port {emu}", 5, ": Некорректные данные\n");
        row("restore {in}/damaged.prf --port {emu}", 5, "неверные данные таблицы 12");
        row("write 3 {in}/badvalue.txt --port {emu}", 5, "строка 10, столбец «Пароль»: «abc»");
        row("restore {in}/badvalue.prf --port {emu}", 5, "строка 10, столбец «Пароль»: «abc»");
        row("write 3 {in}/extrarow.txt --port {emu}", 5,
            "строки после последней строки таблицы ККТ \\(10\\)");
        row("check --port {emu} --port EMU1 --jobs 2 -v", 0, "^EMU1: Связь установлена");
        // A register on the network, as on a serial line.
        row("read 3 --port {tcp}", 0, "\\A3\n1\t1\t4\t1\n");
        row("dump 2 -o dump.bin --port {tcp}", 0, ": Считано 8.000 байт за ");
        row("backup -o saved.prf --port {tcp}", 0, ": Прочитано \\d+ записей за ");
        row("restore {in}/taxes.prf --port {tcp}", 0,
            ": Нет различий с профилем — ничего не записано\n");
        row("find --port {tcp} --port 127.0.0.1:1", 0,
            "^tcp://127\\.0\\.0\\.1:\\d+\t115200\tККТ Korvan[^\n]+\n(.|\n)*"
            "^tcp://127\\.0\\.0\\.1:1: Подключение отклонено");
        row("check --port 127.0.0.1:1", 3,
            "^tcp://127.0.0.1:1: Порт не открыт\n    Подключение отклонено "
            "\\(tcp://127.0.0.1:1\\)\\. "
            "ККТ не принимает подключения на порту 1 ");
        row("check --port tcp://no-such-host.invalid:7778", 3,
            ": Порт не открыт\n    Адрес не найден [^\n]+Адрес no-such-host.invalid не найден");
    }

    void exitCodes()
    {
        const auto [command, code, says] = fetch<QString, int, QString>("command", "code", "says");
        QVERIFY(writeLines(here("out.txt"), {"kept"}));
        const QString emulator = command.contains("{emu}")   ? m_emulator.path()
                                 : command.contains("{tcp}") ? networkPort()
                                                             : QString();
        const bool onEmulator = !emulator.isEmpty();
        const QStringList before = onEmulator ? tables(emulator) : QStringList();
        QCOMPARE(before.isEmpty(), !onEmulator);

        const Run result = run(command);
        QCOMPARE(result.exitCode, code);
        const QString said = result.out + result.err;
        const QRegularExpression expected(says, QRegularExpression::MultilineOption);
        QVERIFY2(expected.match(said).hasMatch(), qPrintable(said));
        if (code > 1 && !command.contains("--json"))
            QCOMPARE(result.out, QString());
        const QStringList words = command.split(' ');
        QStringList entries{"out.txt"};
        if (words.contains("-o") && code == 0) {
            entries << words.at(words.indexOf("-o") + 1);
            QVERIFY(QFileInfo(here(entries.last())).size() > 0);
        }
        entries.sort();
        QCOMPARE(directoryEntries(m_dir->path()), entries);
        QCOMPARE(fileBytes(here("out.txt")), QByteArray("kept"));
        if (onEmulator)
            QCOMPARE(tables(emulator), before);
    }

    // The -o file is what standard output gets in the format named; its
    // name's ending chooses CSV unless --format says otherwise.
    void readFormats_data()
    {
        columns<QString, QString, QByteArray>("options", "format", "beginning");
        const QByteArray csv = "Таблица товаров\n";
        QTest::newRow("txt") << "-o goods.txt"
                             << "tsv" << QByteArray("1\n1\t1\t");
        QTest::newRow("csv") << "-o goods.csv"
                             << "csv" << csv;
        QTest::newRow("txt, --format csv") << "-o goods.txt --format csv"
                                           << "csv" << csv;
        QTest::newRow("csv, --format tsv") << "-o goods.csv --format tsv"
                                           << "tsv" << QByteArray("1\n1\t1\t");
        QTest::newRow("csv, --format excel") << "-o goods.csv --format excel"
                                             << "excel"
                                             << "\xEF\xBB\xBF" + csv;
    }

    void readFormats()
    {
        const auto [options, format, beginning] =
            fetch<QString, QString, QByteArray>("options", "format", "beginning");
        QCOMPARE(run("read 1 --port {emu} " + options).exitCode, 0);
        QProcess toStdout;
        start(toStdout, "read 1 --port {emu} --format " + format);
        QVERIFY(toStdout.waitForFinished(RunTimeoutMs));
        QCOMPARE(toStdout.exitCode(), 0);
        const QByteArray saved = fileBytes(here(options.section(' ', 1, 1)));
        QCOMPARE(saved, toStdout.readAllStandardOutput());
        QVERIFY2(saved.startsWith(beginning), saved.left(40).constData());
    }

    // A table read and written back unchanged is not written at all.
    void readThenWriteChangesNothing_data()
    {
        columns<int>("table");
        for (int table : {1, 2, 3, 4, 5, 6, 9, 11, 12})
            QTest::addRow("table %d", table) << table;
    }

    void readThenWriteChangesNothing()
    {
        const int table = std::get<0>(fetch<int>("table"));
        QCOMPARE(run(QString("read %1 -o table.txt --port {emu}").arg(table)).exitCode, 0);
        const Run written = run(QString("write %1 table.txt --port {emu} --json").arg(table));
        QCOMPARE(written.exitCode, 0);
        const QJsonObject outcome = QJsonDocument::fromJson(written.out.toUtf8()).object();
        QCOMPARE(outcome.value("count").toInt(-1), 0);
        QCOMPARE(outcome.value("summary").toString(), "Нет различий с файлом — ничего не записано");
        const Run again = run(QString("read %1 --port {emu}").arg(table));
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.out.toUtf8(), fileBytes(here("table.txt")));
    }

    // One change planted in a file of the register's table gives one line:
    // row, column, the register's value, the file's.
    void diffShowsPlantedChange_data()
    {
        columns<int, QString, QString, QString>("table", "line", "planted", "difference");
        const auto row = [](const char *name, int table, const char *line, const char *planted,
                            const QString &difference) {
            QTest::newRow(name) << table << QString(line) << QString(planted) << difference;
        };
        row("a row the register lacks", 3, "10\t2\t",
            "10\t2\t24\tСистемный администратор\n11\t2\t24\tЛишний", "11\t2\t\tЛишний");
        row("a line left out", 3, "5\t2\t", "", "5\t2\tKассир 5\t");
        row("a price", 1, "1\t3\t", "1\t3\t8\t99.50", "1\t3\t54.90\t99.50");
        row("the same price written otherwise", 1, "1\t3\t", "1\t3\t8\t54.9", "");
        // The settings' file has a line per field; the value is column 3.
        row("a setting", 2, "1\t1\t1\t", "1\t1\t1\t7", "1\t3\t1\t7");
    }

    void diffShowsPlantedChange()
    {
        const auto [table, line, planted, difference] =
            fetch<int, QString, QString, QString>("table", "line", "planted", "difference");
        QCOMPARE(run(QString("read %1 -o table.txt --port {emu}").arg(table)).exitCode, 0);
        QStringList content = fileLines(here("table.txt"));
        QVERIFY(replaceLine(content, line, planted));
        QVERIFY(writeLines(here("table.txt"), content));
        const Run result = run(QString("diff %1 table.txt --port {emu}").arg(table));
        QCOMPARE(result.exitCode, difference.isEmpty() ? 0 : 1);
        QCOMPARE(result.out, difference.isEmpty() ? QString() : difference + '\n');
    }

    // Whole goods records read back in the connection that read the table
    // first: every field written is checked against its own value.
    void writeEveryFieldOfGoodsRows_data()
    {
        columns<QStringList>("emulatorProgram");
        QTest::newRow("built-in register") << QStringList();
        QTest::newRow("emulator program") << QStringList{"--goods", "20"};
        QTest::newRow("emulator program on the network")
            << QStringList{"--goods", "20", "--listen", "127.0.0.1:0"};
    }

    void writeEveryFieldOfGoodsRows()
    {
        const QStringList arguments = std::get<0>(fetch<QStringList>("emulatorProgram"));
        const bool emulatorProgram = !arguments.isEmpty();
        RegisterProcess changed;
        QString port = QStringLiteral("EMU1");
        if (emulatorProgram) {
            QVERIFY(changed.start(arguments));
            port = arguments.contains("--listen") ? "tcp://" + changed.path() : changed.path();
        }
        const Run written = run("write 1 {in}/goods-changed.txt --port " + port);
        QCOMPARE(written.exitCode, 0);
        QVERIFY2(written.err.contains(QString("Записано %1 поле").arg(changedGoodsRows * 7)) &&
                     written.err.contains(", проверено\n"),
                 qPrintable(written.err));
        if (emulatorProgram)
            QCOMPARE(run("diff 1 {in}/goods-changed.txt --port " + port).exitCode, 0);
    }

    void updateByBarcode_data()
    {
        columns<int>("newGoods");
        QTest::newRow("dry run, then written") << 0;
        QTest::newRow("new goods into the empty records") << 2;
        QTest::newRow("more new goods than empty records") << 3;
    }

    // A dry run writes nothing; an update writes only the cells the price
    // list changes, checked, and the register then equals the file expected.
    // With --add-new, new goods go into the two empty records written at the
    // table's end; one more is named as not fitted.
    void updateByBarcode()
    {
        const int newGoods = std::get<0>(fetch<int>("newGoods"));
        RegisterProcess updated;
        QVERIFY(updated.start({"--goods", "20"}));
        const QString port = " --port " + updated.path();
        QStringList goods = fileLines(input("goods.txt"));
        if (newGoods > 0) {
            for (const QString record : {"19", "20"}) {
                QVERIFY(replaceLine(goods, record + "\t1\t", record + "\t1\t64\t"));
                QVERIFY(replaceLine(goods, record + "\t2\t", record + "\t2\t8\t0"));
            }
            QVERIFY(writeLines(here("emptied.txt"), goods));
            QCOMPARE(run("write 1 emptied.txt" + port).exitCode, 0);
            QStringList prices{"Наименование;ШК;Цена"};
            for (int added = 1; added <= newGoods; ++added)
                prices << QString("НОВЫЙ %1;200000000001%1;%1").arg(added);
            QVERIFY(writeLines(here("new.csv"), prices));
            const Run written = run("update 1 new.csv --add-new" + port);
            QCOMPARE(written.exitCode, 0);
            QCOMPARE(written.out.contains("2000000000013\tНОВЫЙ 3\t3\tне поместился"),
                     newGoods > 2);
            for (int added = 1; added <= 2; ++added) {
                const QString record = QString::number(18 + added);
                const QString number = QString::number(added);
                QVERIFY(replaceLine(goods, record + "\t1\t", record + "\t1\t64\tНОВЫЙ " + number));
                QVERIFY(
                    replaceLine(goods, record + "\t2\t", record + "\t2\t8\t200000000001" + number));
                QVERIFY(replaceLine(goods, record + "\t3\t", record + "\t3\t8\t" + number + ".00"));
            }
            QVERIFY(writeLines(here("expected.txt"), goods));
            QCOMPARE(run("diff 1 expected.txt" + port).err, updated.path() + ": Различий нет\n");
            return;
        }
        const auto barcode = [&goods](int record) {
            return goods.filter(QRegularExpression(QString("^%1\t2\t").arg(record)))
                .value(0)
                .section('\t', 3);
        };
        QVERIFY(writeLines(here("prices.csv"),
                           {"Товар,ШК,\"Цена, руб.\"", ",=\"" + barcode(1) + "\",\"54,90\"",
                            ",\"" + barcode(3) + "\",\"77,7\"", "НОВОЕ ИМЯ,'" + barcode(5) + ",",
                            ",2000000000015,1"}));
        const Run dry = run("update 1 prices.csv --dry-run" + port);
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(dry.out.count('\n'), 3);
        QVERIFY2(dry.out.startsWith("3\t" + barcode(3)) && dry.out.contains("Нет в ККТ: строка 5"),
                 qPrintable(dry.out));
        QCOMPARE(run("diff 1 {in}/goods.txt" + port).exitCode, 0);
        const Run written = run("update 1 prices.csv" + port);
        QCOMPARE(written.exitCode, 0);
        QVERIFY2(written.err.contains("Записано 2 поля") && written.err.contains(", проверено"),
                 qPrintable(written.err));
        QVERIFY(replaceLine(goods, "3\t3\t", "3\t3\t8\t77.70"));
        QVERIFY(replaceLine(goods, "5\t1\t", "5\t1\t64\tНОВОЕ ИМЯ"));
        QVERIFY(writeLines(here("expected.txt"), goods));
        QCOMPARE(run("diff 1 expected.txt" + port).err, updated.path() + ": Различий нет\n");
    }

    // A register that falls silent in the middle of its settings has not
    // ended them: the read fails at the field left unanswered, and no file
    // of the fields before it appears.
    void silentRegisterFailsSettingsRead()
    {
        RegisterProcess silent;
        QVERIFY(silent.start({"--baud", "2400"}));
        QProcess process;
        QByteArray log;
        QVERIFY(startUntilReading(
            process, "read 2 -o settings.txt --timeout 300 --baud 2400 --port " + silent.path(),
            log));
        ::kill(pid_t(silent.pid()), SIGSTOP);
        const bool ended = process.waitForFinished(RunTimeoutMs);
        ::kill(pid_t(silent.pid()), SIGCONT);
        QVERIFY(ended);
        log += process.readAllStandardError();
        QCOMPARE(process.exitCode(), 4);
        QVERIFY2(log.contains("Нет связи") && log.contains("Прочитан"), log.constData());
        QVERIFY(onlyPartialFiles(m_dir->path()));
    }

    // A register changed by write, saved by backup and restored to another
    // makes the other's tables the same.
    void backupThenRestoreCopiesRegister()
    {
        RegisterProcess first;
        RegisterProcess second;
        QVERIFY(first.start({"--goods", "20"}));
        QVERIFY(second.start({"--goods", "20"}));
        QCOMPARE(run("write 3 {in}/planted.txt --port " + first.path()).exitCode, 0);
        QCOMPARE(run("write 1 {in}/goods-changed.txt --port " + first.path()).exitCode, 0);

        QCOMPARE(run("backup -o first.prf --port " + first.path()).exitCode, 0);
        const QStringList expected = fileLines(here("first.prf")).mid(3);
        QVERIFY(expected.contains("1\t2\t24\t" + plantedName));
        QVERIFY(tables(second.path()) != expected);
        QCOMPARE(run("restore first.prf --port " + second.path(), &m_leakChecked).exitCode, 0);
        QCOMPARE(run("backup -o second.prf --port " + second.path()).exitCode, 0);
        QCOMPARE(fileLines(here("second.prf")).mid(3), expected);
    }

    // A summary line per port on standard error, or a JSON object per port
    // on standard output, in the order given however many jobs; the exit
    // code is the first that is not 0.
    void severalPorts_data()
    {
        columns<QStringList, QString>("ports", "options");
        const QStringList emulatorFirst{"{emu}", "EMU1"};
        QTest::newRow("in turn") << emulatorFirst << "";
        QTest::newRow("two jobs") << emulatorFirst << " --jobs 2";
        QTest::newRow("two jobs, json") << emulatorFirst << " --jobs 2 --json";
        QTest::newRow("two jobs, json, reversed")
            << QStringList{"EMU1", "{emu}"} << " --jobs 2 --json";
        QTest::newRow("failed port first") << QStringList{noDevice, "{emu}"} << "";
        QTest::newRow("failed port last, two jobs")
            << QStringList{"{emu}", noDevice} << " --jobs 2 --json";
    }

    void severalPorts()
    {
        const auto [ports, options] = fetch<QStringList, QString>("ports", "options");
        const Run result =
            run("diff 3 {in}/planted.txt --port " + ports.join(" --port ") + options);
        const bool json = options.contains("--json");
        const QStringList out = result.out.split('\n', Qt::SkipEmptyParts);
        // Without the indented lines of a failure's details.
        const QStringList summaries =
            result.err.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^\\S"));
        QCOMPARE((json ? out : summaries).size(), ports.size());
        QStringList differences;
        int code = 0;
        for (int index = 0; index < ports.size(); ++index) {
            const QString port = QString(ports.at(index)).replace("{emu}", m_emulator.path());
            const bool reached = port != noDevice;
            if (code == 0)
                code = reached ? 1 : 3;
            if (reached)
                differences << port + '\t' + plantedDifference;
            if (json) {
                const QJsonObject object = QJsonDocument::fromJson(out.at(index).toUtf8()).object();
                QCOMPARE(object.value("port").toString(), port);
                QCOMPARE(object.value("exitCode").toInt(-1), reached ? 1 : 3);
                QCOMPARE(object.value("differences").toArray(),
                         reached ? QJsonArray{plantedDifference} : QJsonArray());
            } else {
                QCOMPARE(summaries.at(index),
                         port + (reached ? ": Различий: 1" : ": Порт не открыт"));
            }
        }
        if (!json)
            QCOMPARE(out, differences);
        QCOMPARE(result.exitCode, code);
    }

    // SIGINT during a long read: exit code 130, no output file, not even a
    // temporary one, only what was read kept for --resume, and the register
    // answers the next connection.
    void interruptedReadLeavesNoFile()
    {
        RegisterProcess slow;
        QVERIFY(slow.start({"--goods", "3000", "--baud", "19200"}));
        QProcess process;
        QByteArray log;
        QVERIFY(startUntilReading(process, "read 1 -o goods.txt --baud 19200 --port " + slow.path(),
                                  log));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(RunTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        log += process.readAllStandardError();
        QVERIFY(QRegularExpression(": Прервано пользователем\n    Прочитано [^\n]+ — прервано\n")
                    .match(QString::fromUtf8(log))
                    .hasMatch());
        QVERIFY(onlyPartialFiles(m_dir->path()));
        QCOMPARE(run("check --baud 19200 --port " + slow.path()).exitCode, 0);
    }

    // Ctrl+C stops file work as register work: the load before a write,
    // which then never connects, and the save after a read, which leaves no
    // file. The signal comes once the file (a save's unnamed "#…") is open.
    void interruptedFileWork_data()
    {
        columns<QString, QString, QString>("command", "file", "says");
        QTest::newRow("load") << "write 1 big.csv --port EMU1"
                              << "big.csv"
                              << "\n    Загружено 0 записей за [^\n]+ — прервано\n";
        QTest::newRow("save")
            << "read 1 -o big.csv --port EMU1"
            << "#"
            << "\n    Прочитано 65.535 записей за [^\n]+, не сохранено — прервано\n";
    }

    void interruptedFileWork()
    {
        const auto [command, file, says] =
            fetch<QString, QString, QString>("command", "file", "says");
        QProcessEnvironment environment = m_environment;
        environment.insert("MORVELL_BUILTIN_GOODS", "65535");
        QStringList big = fileLines(input("goods.csv")).mid(0, 2);
        for (int record = 1; record <= 65535 && file != "#"; ++record)
            big << QStringLiteral("\"ТОВАР %1\";\"%1\";\"1.00\";\"1\";\"1\";\"1\";\"0\"")
                       .arg(record);
        QVERIFY(file == "#" || writeLines(here(file), big));
        QProcess process;
        start(process, command, &environment);
        const auto holdsFile = [&] {
            const QFileInfoList links = QDir(QStringLiteral("/proc/%1/fd").arg(process.processId()))
                                            .entryInfoList(QDir::Files | QDir::System);
            return std::any_of(links.begin(), links.end(), [&](const QFileInfo &link) {
                return link.symLinkTarget().startsWith(here(file));
            });
        };
        while (process.waitForStarted() && process.state() == QProcess::Running && !holdsFile())
            QThread::usleep(200);
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(RunTimeoutMs));
        QCOMPARE(process.exitCode(), 130);
        const QString said = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(said.contains(QRegularExpression("^EMU1: Прервано пользователем" + says)),
                 qPrintable(said));
        QCOMPARE(directoryEntries(m_dir->path()), file == "#" ? QStringList() : QStringList{file});
    }

    // find asks each port only for the identification, at each rate until
    // one answers: two registers at their own rates are found with what they
    // said, silent lines and a missing device are not, and nothing is
    // entered or written.
    void findsRegistersAtTheirRates()
    {
        RegisterProcess slow;
        RegisterProcess fast;
        QVERIFY(slow.start({"--baud", "9600", "--serial", "111"}));
        QVERIFY(fast.start({"--baud", "57600", "--serial", "222"}));
        PseudoTerminal silent[2];
        QString error;
        QStringList ports{slow.path(), fast.path(), noDevice};
        for (PseudoTerminal &terminal : silent) {
            QVERIFY2(terminal.open(error), qPrintable(error));
            ports << terminal.slavePath();
        }
        const QString search = "find --port " + ports.join(" --port ");
        const Run found = run(search);
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(found.out, slow.path() + "\t9600\tККТ Korvan Tessel (эмулятор)\t111\t3.2.1205\n" +
                                fast.path() +
                                "\t57600\tККТ Korvan Tessel (эмулятор)\t222\t3.2.1205\n");
        QVERIFY2(found.err.contains(noDevice + ": Устройство не найдено") &&
                     found.err.contains("Найдено ККТ: 2 (портов 5, скоростей 12, за "),
                 qPrintable(found.err));
        const Run json = run(search + " --json --baud 57600");
        QCOMPARE(json.exitCode, 0);
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(object.value("location").toString(), fast.path());
        QCOMPARE(object.value("baud").toInt(), 57600);
        QCOMPARE(object.value("serialNumber").toString(), "222");
        QCOMPARE(run(search + " --baud 115200 --baud 19200").exitCode, 3);
        for (RegisterProcess *emulator : {&slow, &fast}) {
            const QString summary = emulator->stop();
            QVERIFY2(summary.contains(", 0 mode entries, 0 reads, 0 writes, 0 dump starts"),
                     qPrintable(summary));
        }
    }

    // --trace writes a line per exchange, to a file or standard error alike,
    // below a header line: the connection's two steps, then the read's own,
    // ended by the register's refusal of the row after the last.
    void traceHasLinePerExchange()
    {
        const auto exchanges = [](const QString &text) {
            QStringList lines = text.split('\n').filter(QStringLiteral("\t"));
            for (QString &line : lines)
                line = line.section('\t', 2); // after the time and the duration
            return lines;
        };
        const Run toFile = run("read 3 -o users.txt --trace trace.txt --port EMU1");
        QCOMPARE(toFile.exitCode, 0);
        const QStringList traced = exchanges(QString::fromUtf8(fileBytes(here("trace.txt"))));
        const Run toError = run("read 3 --trace - --port EMU1");
        QCOMPARE(toError.exitCode, 0);
        QCOMPARE(exchanges(toError.err), traced);

        QCOMPARE(fileLines(here("trace.txt")).first(),
                 "Время\tДлительность, мс\tПорт\tКоманда\tТаблица\tСтрока\tПоле\tКод\tЗначение\t"
                 "Повторы\tЗапрос\tОтвет");
        const QRegularExpression read(
            "^emulator:builtin\tЧтение поля\t3 Пользователи и пароли\t(\\d+)\t[12]\t0\t"
            "Ошибок нет\t\t46 03 00 [0-9a-f]{2} 0[12]\t55 00( [0-9a-f]{2})+$");
        QCOMPARE(traced.value(1), "emulator:builtin\tИдентификация\t\t\t\t0\tОшибок нет\t\t\t");
        QCOMPARE(traced.value(2), "emulator:builtin\tВход в режим\t\t\t\t0\tОшибок нет\t\t\t");
        const QStringList rows = fileLines(here("users.txt")).filter(QRegularExpression("^\\d+\t"));
        QCOMPARE(traced.size(), 1 + 2 + rows.size() + 1);
        for (int index = 3; index < traced.size() - 1; ++index)
            QVERIFY2(read.match(traced.at(index)).hasMatch(), qPrintable(traced.at(index)));
        QVERIFY2(traced.last().contains("\t-259\tНеверный номер ряда\t\t46 03 00 0b 01\t55 92"),
                 qPrintable(traced.last()));
        QCOMPARE(run("read 3 --trace nowhere/trace.txt --port EMU1").exitCode, 5);
    }

    // Each line is written through: a run that is killed keeps them all whole.
    void traceSurvivesKill()
    {
        RegisterProcess slow;
        QVERIFY(slow.start({"--goods", "3000", "--baud", "19200"}));
        QProcess process;
        QByteArray log;
        QVERIFY(startUntilReading(
            process, "read 1 -o goods.txt --trace trace.txt --baud 19200 --port " + slow.path(),
            log));
        QVERIFY(QTest::qWaitFor([&] { return fileBytes(here("trace.txt")).count('\n') > 100; },
                                RunTimeoutMs));
        ::kill(pid_t(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(RunTimeoutMs));
        const QByteArray traced = fileBytes(here("trace.txt"));
        QVERIFY(traced.endsWith('\n'));
        for (const QByteArray &line : traced.split('\n').mid(1, traced.count('\n') - 1))
            QCOMPARE(line.count('\t'), 11);
    }

    // SIGINT while ports are read at once stops every one of them, and a
    // port still waiting for a job is never opened.
    void interruptStopsEveryPort()
    {
        RegisterProcess slow[3];
        QStringList ports;
        QList<qint64> readBefore;
        for (RegisterProcess &emulator : slow) {
            QVERIFY(emulator.start({"--goods", "3000", "--baud", "19200"}));
            ports << emulator.path();
            readBefore << bytesRead(emulator.pid());
        }
        QProcess process;
        start(process,
              "read 1 -o goods-{port}.txt --jobs 2 --baud 19200 --port " + ports.join(" --port "));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return bytesRead(slow[0].pid()) > readBefore[0] &&
                       bytesRead(slow[1].pid()) > readBefore[1];
            },
            RunTimeoutMs));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(RunTimeoutMs));
        QCOMPARE(process.exitCode(), 130);
        const QString said = QString::fromUtf8(process.readAllStandardError());
        for (int index : {0, 1})
            QVERIFY2(said.contains(ports.at(index) + ": Прервано пользователем\n    Прочитано "),
                     qPrintable(said));
        QCOMPARE(bytesRead(slow[2].pid()), readBefore[2]);
        QVERIFY(onlyPartialFiles(m_dir->path()));
    }

    // A register whose line goes away in the middle of a read (its program
    // killed) and comes back within --wait-port, on the same path or, as a
    // USB adapter plugged in again, under another name that its stable name
    // (a link in the by-id directory) follows: the read goes on to the end,
    // reads no row again but the one cut off, and the file is a whole read's.
    // A register on the network comes back at the same address, its program
    // started again there. Another register plugged in meanwhile gets none
    // of the table: the read waits on for the first, and fails saying so.
    void readWaitsForPortToComeBack_data()
    {
        columns<QString, QString>("comesBackAs", "serial");
        QTest::newRow("the same path") << "ttyUSB0"
                                       << "";
        QTest::newRow("another number") << "ttyUSB1"
                                        << "";
        QTest::newRow("the same network address") << ""
                                                  << "";
        QTest::newRow("another register") << "ttyUSB0"
                                          << "999";
    }

    void readWaitsForPortToComeBack()
    {
        const auto [comesBackAs, serial] = fetch<QString, QString>("comesBackAs", "serial");
        const bool network = comesBackAs.isEmpty();
        // Paced, so that the line goes away in the middle, at the fastest rate.
        const QStringList arguments{"--goods", "600", "--baud", "921600"};
        RegisterProcess first;
        QVERIFY(first.start((network ? QStringList{"--listen", "127.0.0.1:0"}
                                     : QStringList{"--link", here("ttyUSB0")}) +
                            arguments));
        const QString port = network ? "tcp://" + first.path() : here("ttyUSB0");
        const QString stableName = m_byId + "/usb-Maker_Adapter_A1-if00-port0";
        if (!network) {
            QVERIFY(QDir().mkpath(m_byId));
            QFile::remove(stableName);
            QVERIFY(QFile::link(here("ttyUSB0"), stableName));
        }
        QProcess process;
        QByteArray log;
        QVERIFY(
            startUntilReading(process,
                              QString("read 1 -o goods.txt --wait-port %1 --baud 921600 --port ")
                                      .arg(serial.isEmpty() ? 60 : 5) +
                                  port,
                              log));
        QVERIFY(QTest::qWaitFor([&] { return log.count("exchange 46") > 100; }, RunTimeoutMs));
        ::kill(pid_t(first.pid()), SIGKILL);
        // Gone with the program, as an unplugged adapter's device: a link left
        // names a terminal number that another test's register may take next.
        QVERIFY(network || QFile::remove(here("ttyUSB0")));
        QVERIFY(QTest::qWaitFor([&] { return log.contains("gone, waiting"); }, RunTimeoutMs));
        RegisterProcess second;
        if (network) {
            QVERIFY(second.start(QStringList{"--listen", first.path()} + arguments));
        } else {
            QVERIFY(
                second.start(QStringList{"--link", here(comesBackAs)} + arguments +
                             (serial.isEmpty() ? QStringList() : QStringList{"--serial", serial})));
            QVERIFY(QFile::remove(stableName) && QFile::link(here(comesBackAs), stableName));
        }
        QVERIFY(process.waitForFinished(RunTimeoutMs));
        log += process.readAllStandardError();
        if (!serial.isEmpty()) {
            QVERIFY(process.exitCode() != 0);
            QVERIFY2(log.contains("другая ККТ (заводской номер 999"), log.right(1000).constData());
            QVERIFY2(second.stop().contains(" 0 reads"), log.right(1000).constData());
            return;
        }
        QCOMPARE(process.exitCode(), 0);
        QVERIFY2(log.contains("port back at ") && log.contains("Прочитано 600 записей"),
                 log.right(2000).constData());
        // The looks for the gone port are the wait, not failed exchanges.
        const QString summary =
            QRegularExpression("Прочитано 600 записей.*").match(QString::fromUtf8(log)).captured();
        QVERIFY2(summary.contains(", ожидание порта ") && !summary.contains("сбо"),
                 qPrintable(summary));
        // Seven fields of the first record, 600 records and the end, each answered once.
        QStringList answered = LogCapture::answeredRequests(QString::fromUtf8(log), "46");
        QCOMPARE(answered.size(), 608);
        answered.removeDuplicates();
        QCOMPARE(answered.size(), 608);
        QCOMPARE(
            run("read 1 -o whole.txt --baud 921600 --port " + (network ? port : here(comesBackAs)))
                .exitCode,
            0);
        QCOMPARE(fileLines(here("goods.txt")), fileLines(here("whole.txt")));
    }

    // A read or backup the line failed keeps what it read; --resume reads
    // only the rest, and the file is then a whole read's, the kept part gone.
    void failedReadResumes_data()
    {
        columns<QString, QString>("command", "file");
        QTest::newRow("read") << "read 1"
                              << "goods.txt";
        QTest::newRow("backup") << "backup"
                                << "register.prf";
    }

    void failedReadResumes()
    {
        const auto [command, file] = fetch<QString, QString>("command", "file");
        RegisterProcess emulator;
        QVERIFY(emulator.start({"--goods", "600", "--baud", "921600"}));
        QProcess process;
        QByteArray log;
        const QString port = " --baud 921600 --port " + emulator.path();
        QVERIFY(startUntilReading(
            process, command + " -o " + file + " --timeout 300 --retries 0" + port, log));
        QVERIFY(QTest::qWaitFor([&] { return log.count("exchange 46") > 100; }, RunTimeoutMs));
        ::kill(pid_t(emulator.pid()), SIGSTOP);
        const bool ended = process.waitForFinished(RunTimeoutMs);
        ::kill(pid_t(emulator.pid()), SIGCONT);
        QVERIFY(ended);
        QCOMPARE(process.exitCode(), 4);
        QVERIFY2(QString::fromUtf8(log).contains("увеличьте --retries (сейчас 0"),
                 log.right(1000).constData());
        QCOMPARE(directoryEntries(m_dir->path()), QStringList{file + ".partial"});
        const QRegularExpressionMatch kept =
            QRegularExpression("Прочитан\\S* (\\d+) запис").match(QString::fromUtf8(log));
        QVERIFY(kept.hasMatch());

        const Run resumed = run(command + " -o " + file + " --resume" + port);
        QCOMPARE(resumed.exitCode, 0);
        QCOMPARE(directoryEntries(m_dir->path()), QStringList{file});
        const Run whole = run(command + " -o whole-" + file + port);
        QCOMPARE(whole.exitCode, 0);
        // Only what the first run had not read was read again.
        const auto records = [](const QString &said) {
            return QRegularExpression("Прочитан\\S* ([\\d\u00a0]+) запис")
                .match(said)
                .captured(1)
                .remove(QChar(0x00a0))
                .toInt();
        };
        QCOMPARE(kept.captured(1).toInt() + records(resumed.err), records(whole.err));
        // A profile's third line is the date it was read.
        const int header = file.endsWith(".prf") ? 3 : 0;
        QCOMPARE(fileLines(here(file)).mid(header), fileLines(here("whole-" + file)).mid(header));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
