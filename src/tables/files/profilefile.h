#pragma once

#include "tablefilereader.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class TableData;
struct RegisterProfile;

// The whole register in one file: a first line naming the format, the
// register's identification and the date it was read, and then every table
// as its tab-separated table file, each after a line "[N]" with its number.
namespace ProfileFile {

struct Header
{
    QString identification;
    QDateTime saved;
};

// The tables in the order given; through QSaveFile, so that a save that
// fails, or that the user stops at an event point (given the records written
// so far; ERR_CANCELLED), leaves the file as it was.
int save(const QString &path, const Header &header, const QList<const TableData *> &tables,
         const FileEventPoint &point = {});
// The register read now.
int save(const QString &path, const RegisterProfile &profile, const FileEventPoint &point = {});

// A profile checked whole, each of its tables with the load that puts it
// into its table.
struct Checked
{
    Header header;
    QList<QPair<TableData *, PendingLoad>> tables;
};

// Checks the whole profile and changes no table. tableOf gives the table to
// load a table number into, or nullptr for a table this program does not
// know, which is refused like a field the table does not know. On failure,
// problem says what is wrong and where, in words for the user; a check the
// user stopped at an event point (given the bytes read) has none.
int check(const QString &path, const std::function<TableData *(int)> &tableOf, Checked &checked,
          QString &problem, const FileEventPoint &point = {});

} // namespace ProfileFile
