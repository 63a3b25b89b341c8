#pragma once

#include "baudrate.h"
#include "tablefile.h"

#include <QString>
#include <QStringList>
#include <QVector>

// What the command line asks for, checked before any port or file is touched.
struct CliOptions
{
    enum class Command
    {
        Ports,
        Find,
        Check,
        Read,
        Write,
        Diff,
        Dump,
        Backup,
        Restore,
        Update,
    };

    Command command = Command::Ports;
    QString commandName;
    int table = 0;
    // The file read by write, diff and restore.
    QString input;
    // -o; may hold "{port}", replaced by each port's name.
    QString output;
    // What read writes: the table's own file, or the goods as CSV, plain or
    // for spreadsheets.
    TableFile::Format format = TableFile::Format::Table;
    // The dump's processor, as the register numbers it.
    int processor = 0;
    QStringList ports;
    int jobs = 1;
    int baudRateCode = BaudRate::DefaultCode;
    // Every rate given with --baud, in order: the ones find tries.
    QVector<int> rates;
    QString password;
    int timeoutMs = 20000;
    // A failed exchange is tried this many more times.
    int retries = 2;
    // How long a port gone in the middle of a read or write is waited for.
    int waitPortSeconds = 0;
    // --trace: the file of the exchanges, "-" for standard error; empty for none.
    QString trace;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool verify = true;
    // update: the unknown goods go into empty records; nothing is written;
    // the price list's columns as --columns gives them, empty to find them.
    bool addNew = false;
    bool dryRun = false;
    QString columns;
    // read goes on from the output file's ".partial" file, if there is one.
    bool resume = false;
    bool help = false;
};

// Fills options from the arguments (the program's name first). On failure
// error says what is wrong, in words for the user.
bool parseCliOptions(const QStringList &arguments, CliOptions &options, QString &error);

// The whole manual, printed by --help.
QString cliHelpText();

// The exit codes.
namespace CliExit {
constexpr int Success = 0;
constexpr int Differences = 1;
constexpr int Usage = 2;
constexpr int Port = 3;
constexpr int Register = 4;
constexpr int File = 5;
constexpr int Mismatch = 6;
constexpr int Interrupted = 130;
} // namespace CliExit
