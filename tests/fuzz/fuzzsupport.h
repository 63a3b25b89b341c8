#pragma once

#include <QByteArray>
#include <QString>

// What the fuzz targets share: Qt set up once per process, scratch files, and
// a check that turns a broken property into a finding.
namespace FuzzSupport {

// Creates the QCoreApplication and silences Qt's messages: the code under
// test logs on every step, which would cost most of each run.
void startQt();
// A file in a scratch directory that lasts as long as the process.
QString scratchPath(const QString &name);
void writeFile(const QString &path, const QByteArray &bytes);
// Prints what failed and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char *condition, const char *file, int line);

} // namespace FuzzSupport

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : FuzzSupport::fail(#condition, __FILE__, __LINE__))
