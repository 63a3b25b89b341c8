// The profile: whatever the file, checking it changes no table; a profile
// that checks and is put into new tables saves as a profile that checks
// again and gives the same cells.

#include "errorcode.h"
#include "fuzzsupport.h"
#include "memorytable.h"
#include "profilefile.h"
#include "tablecatalogue.h"
#include "tablefilecheck.h"

#include <cstdint>
#include <map>
#include <memory>

namespace {

using Tables = std::map<int, std::unique_ptr<MemoryTable>>;

Tables newTables()
{
    Tables tables;
    for (int table : TableCatalogue::numbers())
        tables[table] = std::make_unique<MemoryTable>(table);
    return tables;
}

int check(const QString &path, Tables &tables, ProfileFile::Checked &checked)
{
    QString problem;
    return ProfileFile::check(
        path,
        [&tables](int table) -> TableData * {
            const auto found = tables.find(table);
            return found == tables.end() ? nullptr : found->second.get();
        },
        checked, problem);
}

bool allEmpty(const Tables &tables)
{
    for (const auto &[number, table] : tables) {
        if (table->rowCount() > 0)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    TableFileCheck::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString loadedPath = FuzzSupport::scratchPath(QStringLiteral("loaded.prf"));
    const QString savedPath = FuzzSupport::scratchPath(QStringLiteral("saved.prf"));
    FuzzSupport::writeFile(loadedPath, QByteArray(reinterpret_cast<const char *>(data), int(size)));
    Tables loaded = newTables();
    ProfileFile::Checked checked;
    const int result = check(loadedPath, loaded, checked);
    FUZZ_CHECK(allEmpty(loaded));
    if (result != ERR_OK)
        return 0;
    QList<const TableData *> tables;
    for (const auto &[table, apply] : qAsConst(checked.tables)) {
        apply();
        tables << table;
    }
    const int saved = ProfileFile::save(savedPath, checked.header, tables);
    FUZZ_CHECK(saved == ERR_OK || saved == ERR_INVALID_DATA);
    if (saved != ERR_OK)
        return 0;
    Tables reloaded = newTables();
    ProfileFile::Checked again;
    FUZZ_CHECK(check(savedPath, reloaded, again) == ERR_OK);
    FUZZ_CHECK(again.tables.size() == checked.tables.size());
    for (const auto &[table, apply] : qAsConst(again.tables))
        apply();
    for (const auto &[number, table] : loaded) {
        const MemoryTable &other = *reloaded[number];
        FUZZ_CHECK(other.rowCount() == table->rowCount());
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column)
                FUZZ_CHECK(table->text(row, column) == other.text(row, column));
        }
    }
    return 0;
}
