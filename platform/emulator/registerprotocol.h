#pragma once

#include <QByteArray>
#include <QString>

// The register's command set as both sides see it: command codes, error bytes,
// the answer layout (0x55, error byte, data) and the identification record.
namespace RegisterProtocol {

constexpr char AnswerMark = 0x55;

enum Command : quint8
{
    // 0x46 table, row (2 bytes, high first), field; field 0 reads the whole record.
    ReadField = 0x46,
    // 0x50 table, row (2 bytes), field, then exactly the field's width of data.
    WriteField = 0x50,
    // 0x84: the next block of the started dump.
    NextDumpBlock = 0x84,
    // 0x9C kind: starts a dump; the answer holds its size, 3 bytes, high first.
    StartDump = 0x9C,
    // 0xA5: the identification record below.
    Identify = 0xA5,
    // 0xA6 mode, then the access password as ASCII digits.
    EnterMode = 0xA6,
};

// Every error byte the register answers with.
enum ErrorByte : quint8
{
    NoError = 0x00,
    UnknownCommand = 0x01,
    BadLength = 0x02,    // request length, or written data not of the field's width
    BadParameter = 0x03, // unknown dump kind or mode
    WrongMode = 0x04,    // table writes need the programming mode
    WrongPassword = 0x05,
    NoMoreData = 0x18,
    UnknownTable = 0x91,
    RowOutOfRange = 0x92,
    UnknownField = 0x93,
};

// Table writes are accepted in this mode only.
constexpr int ProgrammingMode = 4;

QByteArray makeAnswer(ErrorByte error, const QByteArray &data = QByteArray());

struct Answer
{
    quint8 error = NoError;
    QByteArray data;
};

// False for an answer shorter than two bytes or not starting with AnswerMark.
bool parseAnswer(const QByteArray &bytes, Answer &answer);

// Answer data of Identify, in this byte order: protocol version, type, model,
// mode, major version, minor version (one byte each), build, code page (two
// bytes each, high first), then the description as UTF-8 up to the end.
struct Identification
{
    int protocolVersion = 0;
    int type = 0;
    int model = 0;
    int mode = 0;
    int majorVersion = 0;
    int minorVersion = 0;
    int build = 0;
    int codePage = 0;
    QString description;
    // The register's factory number, digits; after the description, behind a
    // zero byte, where it has one.
    QString serialNumber;

    QByteArray encode() const;
    // False when the data is shorter than the fixed part.
    static bool decode(const QByteArray &data, Identification &identification);
};

} // namespace RegisterProtocol
