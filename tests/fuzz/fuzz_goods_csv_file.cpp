// The goods database CSV file, loaded into the goods table.

#include "tablefilecheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    TableFileCheck::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TableFileCheck::loadSaveLoad(1, QByteArray(reinterpret_cast<const char *>(data), int(size)),
                                 ".csv");
    return 0;
}
