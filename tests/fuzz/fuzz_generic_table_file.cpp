// The tab-separated table file, loaded into the editor of the table that its
// first line names (the users' editor when it names none of them).

#include "tableeditors.h"
#include "tablefilecheck.h"

#include <cstdint>

namespace {

QMyTableWidget *newEditor(int table)
{
    switch (table) {
    case 1:
        return new QMyTable1Widget;
    case 4:
        return new QMyTable4Widget;
    case 5:
        return new QMyTable5Widget;
    case 6:
        return new QMyTable6Widget;
    case 7:
        return new QMyTable7Widget;
    case 8:
        return new QMyTable8Widget;
    case 9:
        return new QMyTable9Widget;
    case 11:
        return new QMyTable11Widget;
    case 12:
        return new QMyTable12Widget;
    default:
        return new QMyTable3Widget;
    }
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
