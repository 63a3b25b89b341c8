// The first worksheet of an .xlsx workbook: any bytes are read or refused
// with a reason, and what is read keeps within a spreadsheet's cell.

#include "errorcode.h"
#include "fuzzsupport.h"
#include "xlsxsheet.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzSupport::scratchPath(QStringLiteral("sheet.xlsx"));
    FuzzSupport::writeFile(path, QByteArray(reinterpret_cast<const char *>(data), int(size)));
    SheetRows rows;
    QString why;
    const int result = XlsxSheet::readFirstSheet(path, rows, why);
    FUZZ_CHECK(result == ERR_OK || result == ERR_INVALID_DATA);
    FUZZ_CHECK((result == ERR_OK) == why.isEmpty());
    FUZZ_CHECK(result == ERR_OK || rows.isEmpty());
    for (const QStringList &row : qAsConst(rows)) {
        for (const QString &text : row)
            FUZZ_CHECK(text.size() <= XlsxSheet::maxCellText);
    }
    return 0;
}
