// Field texts and the byte conversions under them.
//
// Input: a mode byte, a type byte, a width byte, a place byte, then a text in
// UTF-8 or bytes. With an even mode, a text a field accepts is shown, after
// its bytes have been through the register, as a text the field accepts again
// and shows the same, and a number keeps its value; a text refused leaves the
// bytes as they were. With
// an odd mode, bytes that DataConverter reads as a BCD or binary number are
// what the field of their width writes for that number.

#include "dataconverter.h"
#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"
#include "fuzzsupport.h"
#include "registertext.h"

#include <cstdint>
#include <memory>

namespace {

using FieldPtr = std::unique_ptr<FieldBase>;

// Where a text field lives chooses its scheme: capitals, mixed or general.
// The register reads general-scheme text back in a layout of its own.
struct Place
{
    int table;
    int field;
    bool general;
};
constexpr Place places[] = {{1, 1, false}, {11, 1, false}, {12, 8, false}, {3, 2, true}};

struct FieldKind
{
    int type;
    int width;
    Place place;

    FieldPtr make() const
    {
        return FieldPtr(createField(place.table, 1, place.field, type, width));
    }
};

// The number a field of the type takes a text for.
qint64 numberOf(int type, const QString &text)
{
    if (type == FIELD_CURRENCY_BIN || type == FIELD_CURRENCY_BCD) {
        qint64 kopecks = 0;
        DataConverter::StringToCurr(text, kopecks);
        return kopecks;
    }
    return text.toLongLong();
}

// Binary fields wrap by design: a narrow field takes a negative
// value as its two's complement, and from four bytes on a value is cut to the
// width. Only a value inside the field's range comes back as it went in.
bool keepsValue(const FieldKind &kind, qint64 value)
{
    const int bits = 8 * qMax(kind.width, 0);
    if (kind.type == FIELD_BIN_FIRST_OF_32)
        return value >= 0 && value <= 0xFF && (kind.width >= 4 || value < (qint64(1) << bits));
    if (kind.type != FIELD_BIN && kind.type != FIELD_CURRENCY_BIN)
        return true;
    if (kind.width < 4)
        return value >= 0 && value < (qint64(1) << bits);
    if (kind.width >= 8)
        return true;
    const qint64 half = qint64(1) << (bits - 1);
    return value >= -half && value < half;
}

// The field as a read gets it back after a write of the text; null when the
// field refuses the text.
FieldPtr readBack(const FieldKind &kind, const QString &text)
{
    const FieldPtr written = kind.make();
    const QByteArray before("before");
    written->setRawData(before);
    if (written->fromString(text) != ERR_OK) {
        FUZZ_CHECK(written->rawData() == before);
        return nullptr;
    }
    FieldPtr read = kind.make();
    const bool translated = kind.type == FIELD_STR && kind.place.general;
    read->setRawData(translated ? RegisterText::toGeneralReadLayout(written->rawData())
                                : written->rawData());
    return read;
}

void checkText(const FieldKind &kind, const QString &text)
{
    const FieldPtr read = readBack(kind, text);
    if (!read)
        return;
    QString shown;
    FUZZ_CHECK(read->toString(shown) == ERR_OK);
    if (kind.type != FIELD_STR) {
        qint64 stored = 0;
        FUZZ_CHECK(read->toInt64(stored) == ERR_OK);
        // A value outside the range comes back wrapped, as intended, and
        // the wrapped value need not fit the range check again.
        if (!keepsValue(kind, numberOf(kind.type, text)))
            return;
        FUZZ_CHECK(stored == numberOf(kind.type, text));
    }
    const FieldPtr readAgain = readBack(kind, shown);
    FUZZ_CHECK(readAgain);
    QString shownAgain;
    FUZZ_CHECK(readAgain->toString(shownAgain) == ERR_OK);
    FUZZ_CHECK(shownAgain == shown);
}

void checkBytes(bool bcd, const QByteArray &bytes)
{
    qint64 value = 0;
    const int read =
        bcd ? DataConverter::BCD2LL(value, bytes) : DataConverter::Bin2LL_BE(value, bytes);
    if (read != ERR_OK)
        return;
    const FieldPtr field(createField(1, 1, 1, bcd ? FIELD_BCD : FIELD_BIN, bytes.size()));
    FUZZ_CHECK(field->fromInt64(value) == ERR_OK);
    FUZZ_CHECK(field->rawData() == bytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 4), int(size - 4));
    if (data[0] & 1)
        checkBytes(data[1] & 1, rest);
    else
        checkText({FIELD_BCD + data[1] % 8, data[2], places[data[3] % 4]}, QString::fromUtf8(rest));
    return 0;
}
