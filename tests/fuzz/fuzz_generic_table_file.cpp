// The tab-separated table file, loaded into the table that its first line
// names (the users' table when it names none of them).

#include "tablecatalogue.h"
#include "tablefilecheck.h"

#include <cstdint>

namespace {

// Table 2 has a file format of its own.
int loadedTable(int named)
{
    return named != 2 && TableCatalogue::numbers().contains(named) ? named : 3;
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
    TableFileCheck::loadSaveLoad(loadedTable(table), file, ".txt");
    return 0;
}
