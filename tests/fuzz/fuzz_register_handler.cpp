// The register's command handler: every answer is well-formed, and a request
// it refuses changes nothing the register keeps: tables, mode, count of
// writes, a dump under way.
//
// Input: a goods count byte, then requests, each a length byte and that many
// bytes.

#include "fuzzsupport.h"
#include "registeremulator.h"

#include <cstdint>

namespace {

// Compares by what each register tells; takes copies, since asking for the
// next dump block moves the dump on.
bool sameState(RegisterEmulator before, RegisterEmulator after)
{
    const QByteArray identify(1, char(RegisterProtocol::Identify));
    const QByteArray nextBlock(1, char(RegisterProtocol::NextDumpBlock));
    return before.saveTables() == after.saveTables() && before.revision() == after.revision() &&
           before.handle(identify) == after.handle(identify) &&
           before.handle(nextBlock) == after.handle(nextBlock);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    RegisterEmulator registerEmulator(data[0]);
    for (size_t at = 1; at < size;) {
        const size_t length = qMin<size_t>(data[at], size - at - 1);
        const QByteArray request(reinterpret_cast<const char *>(data + at + 1), int(length));
        at += 1 + length;
        const RegisterEmulator before = registerEmulator;
        RegisterProtocol::Answer answer;
        FUZZ_CHECK(RegisterProtocol::parseAnswer(registerEmulator.handle(request), answer));
        if (answer.error != RegisterProtocol::NoError)
            FUZZ_CHECK(sameState(before, registerEmulator));
    }
    return 0;
}
