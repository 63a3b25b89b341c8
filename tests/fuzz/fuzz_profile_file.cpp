// The profile: whatever the file, checking it changes no editor; a profile
// that checks and is put into new editors saves as a profile that checks
// again and gives the same grids.

#include "errorcode.h"
#include "fuzzsupport.h"
#include "profilefile.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tablefilecheck.h"

#include <cstdint>
#include <map>
#include <memory>

namespace {

using Editors = std::map<int, std::unique_ptr<QMyTableWidget>>;

Editors newEditors()
{
    Editors editors;
    for (int table : TableCatalogue::numbers())
        editors[table].reset(createTableEditor(table));
    return editors;
}

int check(const QString &path, Editors &editors, ProfileFile::Checked &checked)
{
    QString problem;
    return ProfileFile::check(
        path,
        [&editors](int table) {
            const auto found = editors.find(table);
            return found == editors.end() ? nullptr : found->second.get();
        },
        checked, problem);
}

bool allEmpty(const Editors &editors)
{
    for (const auto &[table, editor] : editors) {
        if (editor->rowCount() > 0)
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
    Editors loaded = newEditors();
    ProfileFile::Checked checked;
    const int result = check(loadedPath, loaded, checked);
    FUZZ_CHECK(allEmpty(loaded));
    if (result != ERR_OK)
        return 0;
    QList<QMyTableWidget *> tables;
    for (const auto &[editor, apply] : qAsConst(checked.tables)) {
        editor->applyLoad(apply);
        tables << editor;
    }
    const int saved = ProfileFile::save(savedPath, checked.header, tables);
    FUZZ_CHECK(saved == ERR_OK || saved == ERR_INVALID_DATA);
    if (saved != ERR_OK)
        return 0;
    Editors reloaded = newEditors();
    ProfileFile::Checked again;
    FUZZ_CHECK(check(savedPath, reloaded, again) == ERR_OK);
    FUZZ_CHECK(again.tables.size() == checked.tables.size());
    for (const auto &[editor, apply] : qAsConst(again.tables))
        editor->applyLoad(apply);
    for (const auto &[table, editor] : loaded) {
        const QTableWidget &other = *reloaded[table];
        FUZZ_CHECK(other.rowCount() == editor->rowCount());
        for (int row = 0; row < editor->rowCount(); ++row) {
            for (int column = 0; column < editor->columnCount(); ++column) {
                const QTableWidgetItem *a = editor->item(row, column);
                const QTableWidgetItem *b = other.item(row, column);
                FUZZ_CHECK((a ? a->text() : QString()) == (b ? b->text() : QString()));
            }
        }
    }
    return 0;
}
