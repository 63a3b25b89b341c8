// The register's state file: a file that does not load leaves the register as
// it was; tables that load, saved and loaded again, are the same.

#include "fuzzsupport.h"
#include "registeremulator.h"
#include "statefile.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzSupport::scratchPath(QStringLiteral("state"));
    const QString savedPath = FuzzSupport::scratchPath(QStringLiteral("saved"));
    FuzzSupport::writeFile(path, QByteArray(reinterpret_cast<const char *>(data), int(size)));
    RegisterEmulator loaded;
    const QByteArray before = loaded.saveTables();
    QString error;
    if (!StateFile::load(path, loaded, error)) {
        FUZZ_CHECK(loaded.saveTables() == before);
        return 0;
    }
    FUZZ_CHECK(StateFile::save(savedPath, loaded, error));
    RegisterEmulator reloaded;
    FUZZ_CHECK(StateFile::load(savedPath, reloaded, error));
    FUZZ_CHECK(reloaded.saveTables() == loaded.saveTables());
    return 0;
}
