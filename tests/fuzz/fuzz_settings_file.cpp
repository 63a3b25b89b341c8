// The settings file, loaded into the settings table.

#include "tablefilecheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    TableFileCheck::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TableFileCheck::loadSaveLoad(2, QByteArray(reinterpret_cast<const char *>(data), int(size)),
                                 ".txt");
    return 0;
}
