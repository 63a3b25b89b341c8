#include "clioptions.h"

#include "pricelist.h"
#include "protocolpelto.h"
#include "tablecatalogue.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMap>

#include <memory>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CliOptions", text);
}

const QList<QPair<QString, CliOptions::Command>> &commands()
{
    static const QList<QPair<QString, CliOptions::Command>> known = {
        {QStringLiteral("ports"), CliOptions::Command::Ports},
        {QStringLiteral("find"), CliOptions::Command::Find},
        {QStringLiteral("check"), CliOptions::Command::Check},
        {QStringLiteral("read"), CliOptions::Command::Read},
        {QStringLiteral("write"), CliOptions::Command::Write},
        {QStringLiteral("diff"), CliOptions::Command::Diff},
        {QStringLiteral("dump"), CliOptions::Command::Dump},
        {QStringLiteral("backup"), CliOptions::Command::Backup},
        {QStringLiteral("restore"), CliOptions::Command::Restore},
        {QStringLiteral("update"), CliOptions::Command::Update}};
    return known;
}

// A table by its number or by its tab caption, in any case.
int tableNamed(const QString &name)
{
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    for (int table : TableCatalogue::numbers()) {
        if (isNumber
                ? table == number
                : TableCatalogue::caption(table).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return table;
    }
    return 0;
}

bool parseNumber(const QCommandLineParser &parser, const QString &name, int min, int max,
                 int &value, QString &error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < min || number > max) {
        error = tr("--%1: нужно целое число от %2 до %3").arg(name).arg(min).arg(max);
        return false;
    }
    value = number;
    return true;
}

// Each --baud given; the line's rate is the last.
bool parseBaud(const QCommandLineParser &parser, CliOptions &options, QString &error)
{
    QStringList rates;
    for (int candidate = BaudRate::FirstCode; BaudRate::isCode(candidate); ++candidate)
        rates << QString::number(BaudRate::rateOfCode(candidate));
    for (const QString &value : parser.values(QStringLiteral("baud"))) {
        const int index = rates.indexOf(value);
        if (index < 0) {
            error = tr("--baud: нужна одна из скоростей %1").arg(rates.join(QStringLiteral(", ")));
            return false;
        }
        options.baudRateCode = BaudRate::FirstCode + index;
        options.rates << value.toInt();
    }
    return true;
}

// The arguments after the command's name, as each command takes them.
bool parseCommandArguments(const QStringList &arguments, CliOptions &options, QString &error)
{
    using Command = CliOptions::Command;
    const auto wants = [&](int count, const QString &usage) {
        if (arguments.size() == count)
            return true;
        error = tr("%1: ожидается «%2»").arg(options.commandName, usage);
        return false;
    };
    switch (options.command) {
    case Command::Ports:
    case Command::Find:
    case Command::Check:
        return wants(0, options.commandName);
    case Command::Backup:
        if (!wants(0, QStringLiteral("backup -o ФАЙЛ")))
            return false;
        if (options.output.isEmpty()) {
            error = tr("backup: нужен -o ФАЙЛ");
            return false;
        }
        return true;
    case Command::Restore:
        if (!wants(1, QStringLiteral("restore ФАЙЛ")))
            return false;
        options.input = arguments.at(0);
        return true;
    case Command::Dump:
        if (!wants(1, QStringLiteral("dump 1|2 -o ФАЙЛ")))
            return false;
        if (arguments.at(0) != QLatin1String("1") && arguments.at(0) != QLatin1String("2")) {
            error = tr("dump: процессор 1 (ПО ККТ) или 2 (фискальная память)");
            return false;
        }
        // The register's own numbers of the two processors.
        options.processor = arguments.at(0) == QLatin1String("1") ? 17 : 2;
        if (options.output.isEmpty()) {
            error = tr("dump: нужен -o ФАЙЛ");
            return false;
        }
        return true;
    case Command::Read:
    case Command::Write:
    case Command::Diff:
    case Command::Update:
        break;
    }
    const bool read = options.command == Command::Read;
    if (!wants(read ? 1 : 2, options.commandName + (read ? tr(" ТАБЛИЦА") : tr(" ТАБЛИЦА ФАЙЛ"))))
        return false;
    options.table = tableNamed(arguments.at(0));
    if (options.table == 0) {
        error = tr("Неизвестная таблица «%1»; таблицы: номер или название вкладки, "
                   "например 1 или «Настройки»")
                    .arg(arguments.at(0));
        return false;
    }
    if (!read)
        options.input = arguments.at(1);
    if (options.command == Command::Update && options.table != 1) {
        error = tr("update: по штрихкодам обновляется только таблица 1 (база товаров)");
        return false;
    }
    if (options.command == Command::Write) {
        if (!TableCatalogue::isWritable(options.table)) {
            error = tr("Таблица «%1» не записывается в ККТ")
                        .arg(TableCatalogue::caption(options.table));
            return false;
        }
    }
    return true;
}

// As in the window, a ".csv" file is the CSV form and a ".xlsx" one a
// workbook unless told otherwise.
bool parseFormat(const QString &format, CliOptions &options, QString &error)
{
    using Format = TableFile::Format;
    const QMap<QString, Format> formats{{QStringLiteral("tsv"), Format::Table},
                                        {QStringLiteral("csv"), Format::GoodsCsv},
                                        {QStringLiteral("excel"), Format::GoodsCsvForSpreadsheets},
                                        {QStringLiteral("xlsx"), Format::GoodsXlsx}};
    if (!format.isEmpty() && !formats.contains(format)) {
        error = tr("--format: tsv, csv, excel или xlsx");
        return false;
    }
    const QString byName = options.output.endsWith(QLatin1String(".csv")) ? QStringLiteral("csv")
                           : options.output.endsWith(QLatin1String(".xlsx"))
                               ? QStringLiteral("xlsx")
                               : QString();
    const QString chosen = format.isEmpty() ? byName : format;
    options.format = formats.value(chosen, Format::Table);
    if (options.format != Format::Table &&
        (options.command != CliOptions::Command::Read || options.table != 1)) {
        error = tr("--format %1 есть только у read таблицы 1 (база товаров)").arg(chosen);
        return false;
    }
    if (options.format == Format::GoodsXlsx && options.output.isEmpty()) {
        error = tr("Книга Excel (xlsx) - двоичный файл, на стандартный вывод не пишется: "
                   "укажите -o ФАЙЛ.xlsx");
        return false;
    }
    return true;
}

} // namespace

bool parseCliOptions(const QStringList &arguments, CliOptions &options, QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto option = [&](const QStringList &names, const QString &valueName = QString()) {
        parser.addOption(QCommandLineOption(names, QString(), valueName));
    };
    option({QStringLiteral("h"), QStringLiteral("help")});
    option({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("file"));
    option({QStringLiteral("format")}, QStringLiteral("format"));
    option({QStringLiteral("no-verify")});
    option({QStringLiteral("resume")});
    option({QStringLiteral("add-new")});
    option({QStringLiteral("dry-run")});
    option({QStringLiteral("columns")}, QStringLiteral("list"));
    option({QStringLiteral("port")}, QStringLiteral("port"));
    option({QStringLiteral("jobs")}, QStringLiteral("n"));
    option({QStringLiteral("baud")}, QStringLiteral("rate"));
    option({QStringLiteral("password")}, QStringLiteral("password"));
    option({QStringLiteral("timeout")}, QStringLiteral("ms"));
    option({QStringLiteral("retries")}, QStringLiteral("n"));
    option({QStringLiteral("wait-port")}, QStringLiteral("seconds"));
    option({QStringLiteral("trace")}, QStringLiteral("file"));
    option({QStringLiteral("json")});
    option({QStringLiteral("q"), QStringLiteral("quiet")});
    option({QStringLiteral("v"), QStringLiteral("verbose")});
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        error = unknown.isEmpty() ? tr("Неверные аргументы (%1); описание: morvell-cli --help")
                                        .arg(parser.errorText())
                                  : tr("Неизвестный параметр «%1»; описание: morvell-cli --help")
                                        .arg(unknown.first());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        options.help = true;
        return true;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        error = tr("Не указана команда; список команд: morvell-cli --help");
        return false;
    }
    options.commandName = positional.takeFirst();
    const auto known = std::find_if(commands().begin(), commands().end(), [&](const auto &entry) {
        return entry.first == options.commandName;
    });
    if (known == commands().end()) {
        error = tr("Неизвестная команда «%1»; список команд: morvell-cli --help")
                    .arg(options.commandName);
        return false;
    }
    options.command = known->second;
    options.output = parser.value(QStringLiteral("output"));
    options.ports = parser.values(QStringLiteral("port"));
    options.password = parser.value(QStringLiteral("password"));
    options.json = parser.isSet(QStringLiteral("json"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    options.verbose = parser.isSet(QStringLiteral("verbose"));
    options.verify = !parser.isSet(QStringLiteral("no-verify"));
    options.resume = parser.isSet(QStringLiteral("resume"));
    options.trace = parser.value(QStringLiteral("trace"));
    options.addNew = parser.isSet(QStringLiteral("add-new"));
    options.dryRun = parser.isSet(QStringLiteral("dry-run"));
    options.columns = parser.value(QStringLiteral("columns"));
    if (!parseNumber(parser, QStringLiteral("jobs"), 1, 64, options.jobs, error) ||
        !parseNumber(parser, QStringLiteral("timeout"), 100, 600000, options.timeoutMs, error) ||
        !parseNumber(parser, QStringLiteral("retries"), 0, protocolPelto::maxRetries,
                     options.retries, error) ||
        !parseNumber(parser, QStringLiteral("wait-port"), 0, 3600, options.waitPortSeconds,
                     error) ||
        !parseBaud(parser, options, error) || !parseCommandArguments(positional, options, error))
        return false;

    if (options.resume && ((options.command != CliOptions::Command::Read &&
                            options.command != CliOptions::Command::Backup) ||
                           options.output.isEmpty())) {
        error = tr("--resume есть только у read и backup с файлом -o");
        return false;
    }

    if (!parseFormat(parser.value(QStringLiteral("format")), options, error))
        return false;
    if ((options.addNew || options.dryRun || parser.isSet(QStringLiteral("columns"))) &&
        options.command != CliOptions::Command::Update) {
        error = tr("--add-new, --dry-run и --columns есть только у update");
        return false;
    }
    if (PriceColumns columns;
        !options.columns.isEmpty() && !PriceList::parseColumns(options.columns, columns, error))
        return false;
    if (options.command != CliOptions::Command::Ports &&
        options.command != CliOptions::Command::Find && options.ports.isEmpty()) {
        error = tr("Не указан порт: --port ИМЯ или --port ПУТЬ (список: morvell-cli ports)");
        return false;
    }
    if (options.ports.size() > 1 && !options.output.isEmpty() &&
        !options.output.contains(QLatin1String("{port}"))) {
        error = tr("С несколькими портами имя файла -o должно содержать {port}");
        return false;
    }
    if (options.ports.size() > 1 && options.command == CliOptions::Command::Read &&
        options.output.isEmpty()) {
        error = tr("read с несколькими портами пишет таблицы только в файлы: нужен -o ФАЙЛ");
        return false;
    }
    if (options.json && options.command == CliOptions::Command::Read && options.output.isEmpty()) {
        error = tr("read с --json пишет таблицу только в файл: нужен -o ФАЙЛ");
        return false;
    }
    if (options.quiet && options.verbose) {
        error = tr("-q и -v вместе не бывают");
        return false;
    }
    return true;
}

QString cliHelpText()
{
    return tr(R"(NAME
    morvell-cli - программирование ККТ из командной строки, без дисплея

SYNOPSIS
    morvell-cli ports
    morvell-cli find             [--port ПОРТ...] [--baud N...]
    morvell-cli check            --port ПОРТ...
    morvell-cli read ТАБЛИЦА     --port ПОРТ... [-o ФАЙЛ] [--format tsv|csv|excel|xlsx]
    morvell-cli write ТАБЛИЦА ФАЙЛ --port ПОРТ... [--no-verify]
    morvell-cli diff ТАБЛИЦА ФАЙЛ  --port ПОРТ...
    morvell-cli dump 1|2 -o ФАЙЛ --port ПОРТ...
    morvell-cli backup -o ФАЙЛ   --port ПОРТ...
    morvell-cli restore ФАЙЛ     --port ПОРТ... [--no-verify]
    morvell-cli update 1 ФАЙЛ    --port ПОРТ... [--add-new] [--dry-run]
                                 [--columns barcode=N,price=N,...] [--no-verify]

DESCRIPTION
    Те же таблицы, файлы и проверка записи, что и в окне программы Morvell.
    ТАБЛИЦА - номер таблицы или название её вкладки: 1 или "База товаров",
    2 "Настройки", 3 "Пользователи и пароли", 4, 5, 6, 7, 8, 9, 11, 12.

COMMANDS
    ports    Список портов с описаниями, встроенная ККТ в конце.
    find     Поиск ККТ: на каждом порту (--port, иначе на всех портах
             системы) на каждой скорости (--baud, можно несколько раз;
             иначе на всех: сначала 115200, затем самые частые) - только
             запрос идентификации, до 300 мс на попытку, порты
             одновременно. По строке на найденную ККТ: путь<TAB>скорость
             <TAB>модель<TAB>заводской номер<TAB>версия ПО. Код 0 - найдена
             хотя бы одна, 3 - ни одной.
    check    Проверка связи: идентификация ККТ.
    read     Таблица в файл (-o) или на стандартный вывод; tsv - файл
             "Сохранить как..." (*.txt), csv - CSV базы товаров, excel -
             CSV базы товаров "CSV для Excel" для электронных таблиц (UTF-8
             с меткой порядка байтов, штрихкоды текстовыми формулами ="...",
             чтобы таблица не превратила их в числа), xlsx - книга Excel
             (строка заголовков, затем по строке на запись, штрихкоды -
             текстовыми ячейками; только в файл -o); ФАЙЛ с окончанием .csv
             пишется в CSV, с окончанием .xlsx - книгой Excel.
    write    Читает таблицу из ККТ, загружает ФАЙЛ как "Загрузить..." и
             записывает только поля, которые отличаются, затем читает их
             обратно и сравнивает (без --no-verify). Нет отличий - нет записи.
    diff     Различия ККТ и файла, по строке на поле:
             строка<TAB>столбец<TAB>в ККТ<TAB>в файле
             (строки, которых нет с одной стороны, дают пустое значение).
    dump     Дамп памяти: 1 - процессор с внутренним ПО ККТ, 2 - процессор
             управления фискальной памятью.
    backup   Профиль: все таблицы ККТ в одном файле.
    restore  Записывает профиль в ККТ: каждую таблицу как write; налоговые
             ставки и типы оплаты не записываются.
    update   Обновление базы товаров по штрихкодам из прайс-листа: CSV
             (";" или ","), текст с табуляциями или .xlsx. Столбцы находятся
             по заголовку ("Штрихкод", "ШК", "EAN"; "Цена", "Цена продажи";
             "Наименование", "Товар"; "Номер налога", "Налог"; "Секция",
             "Отдел"), иначе --columns. Читает товары из ККТ и выводит по
             строке на изменение: запись<TAB>штрихкод<TAB>название<TAB>поле
             <TAB>было → стало; затем штрихкоды, которых нет в ККТ, штрихкоды,
             которые есть в ККТ дважды (обновляются все их записи), и неверные
             значения (не применяются). Записывает только изменённые поля и
             проверяет запись (без --no-verify).

OPTIONS
    --port ИМЯ|ПУТЬ|АДРЕС
                     Порт из списка ports, путь к устройству
                     (/dev/ttyUSB0, /dev/serial/by-id/...) или ККТ в сети:
                     tcp://АДРЕС:ПОРТ или АДРЕС:ПОРТ (линия не шифруется:
                     к удалённой ККТ - через туннель SSH или VPN). Можно
                     указать несколько раз: команда выполняется на каждом
                     порту, в конце - строка итога на каждый порт в заданном
                     порядке. В имени файла -o тогда нужно {port} - имя порта.
    --jobs N         Обслуживать до N портов одновременно, каждый своим
                     соединением (по умолчанию 1 - по очереди).
    --baud N         Скорость линии, бод: 2400 ... 921600 (по умолчанию 115200).
    --password P     Пароль доступа к ККТ (по умолчанию - пароль драйвера).
    --timeout MS     Ожидание ответа ККТ, мс (по умолчанию 20000).
    --retries N      Повторов обмена, оставшегося без ответа: 0 ... 10
                     (по умолчанию 2). Повтор идёт с тем же номером
                     кадра, и ККТ не выполняет команду дважды. Это число
                     для короткого обмена; длинный кадр (блок дампа)
                     получает столько же попыток на каждые 64 байта.
    --wait-port S    Если порт пропал во время чтения или записи таблицы
                     (переходник USB отключён, соединение с ККТ в сети
                     разорвано), ждать до S секунд, пока он появится по тому
                     же пути или адресу, и продолжить (по умолчанию 0).
    --trace F|-      Обмены с ККТ по строке на обмен, по мере обмена, в файл F
                     (- - на стандартный поток ошибок): время, длительность,
                     порт, команда, таблица, строка, поле, код и его значение,
                     повторы, байты запроса и ответа, через табуляцию, под
                     строкой заголовка; те же строки, что экспорт окна
                     "Обмен с ККТ". Записанное остаётся и при обрыве.
    -o, --output F   Выходной файл; пишется целиком или не пишется вовсе.
    --format tsv|csv|excel|xlsx
                     Формат read (csv, excel и xlsx только для таблицы 1).
    --no-verify      Не читать записанное обратно.
    --resume         read, backup: продолжить чтение, прерванное или
                     оборвавшееся, с места остановки. Прочитанное до
                     остановки хранится в файле -o с добавкой .partial
                     (read - в формате txt, backup - профилем); после полного
                     чтения этот файл удаляется.
    --add-new        update: товары, которых нет в ККТ, - в пустые записи в конце
                     таблицы (штрихкод 0, без названия), сколько их есть;
                     не поместившиеся названы.
    --dry-run        update: только вывести изменения, ничего не записывать.
    --columns СПИСОК update: столбцы прайс-листа, номера с 1, например
                     barcode=1,price=4 (имена barcode, name, price, tax,
                     section); нужен barcode и хотя бы одно значение. Данные -
                     со строки после заголовка.
    --json           По объекту JSON на порт в стандартный вывод, по строке:
                     port, command, exitCode, result, message, details,
                     count, identification, output, differences.
    -q, --quiet      Только ошибки.
    -v, --verbose    Ещё и журнал обмена на стандартный поток ошибок.
    -h, --help       Это описание.

    Ход работы (записи, скорость, остаток времени) выводится на стандартный
    поток ошибок, когда это терминал. Ctrl+C (SIGINT) останавливает работу
    после текущего обмена: сказанное о сделанном выводится, незаконченный
    файл не появляется, ККТ остаётся в согласованном состоянии.

ENVIRONMENT
    MORVELL_BUILTIN_GOODS  Записей в базе товаров встроенной ККТ (EMU1), 0 ... 65535
                           (по умолчанию 20).

EXIT STATUS
    0    успех
    1    diff: есть различия
    2    неверные аргументы (ничего не тронуто)
    3    порт: нет такого, нет доступа, занят, нет ответа
    4    ошибка ККТ
    5    ошибка файла: не открывается, не читается, неверные данные
    6    проверка записи: ККТ хранит не то, что записано
    130  прервано (SIGINT)
    С несколькими портами - первый ненулевой код в порядке портов.

    Сообщение об ошибке - текст кода результата программы, ниже - причина и
    что сделать.

EXAMPLES
    morvell-cli read 1 --port /dev/ttyUSB0 -o goods.csv
    morvell-cli write "База товаров" goods.txt --port ttyUSB0 --port ttyUSB1 --jobs 2
    morvell-cli diff 2 settings.txt --port ttyUSB0 || echo "настройки отличаются"
    morvell-cli backup -o "{port}.prf" --port ttyUSB0 --port ttyUSB1 --json
    morvell-cli update 1 prices.xlsx --port ttyUSB0 --dry-run
)");
}
