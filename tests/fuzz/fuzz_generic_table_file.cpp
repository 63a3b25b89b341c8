// The tab-separated table file, loaded into the editor of the table that its
// first line names (the users' editor when it names none of them).

#include "tableeditors.h"
#include "tablefilecheck.h"

#include <cstdint>

namespace {

// Table 2 has a file format of its own.
QMyTableWidget *newEditor(int table)
{
    QMyTableWidget *editor = table == 2 ? nullptr : createTableEditor(table);
    return editor ? editor : createTableEditor(3);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    TableFileCheck::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), int(size));
    const int table = file.left(file.indexOf('\n')).trimmed().toInt();
    TableFileCheck::loadSaveLoad([table] { return newEditor(table); }, file, ".txt");
    return 0;
}
