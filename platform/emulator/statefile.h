#pragma once

#include <QString>

class RegisterEmulator;

// The register's tables kept in a file between runs.
namespace StateFile {

// Leaves the register as it is when the file does not exist; false, with a
// reason in error, when it exists but cannot be read or holds no saved tables.
bool load(const QString &path, RegisterEmulator &registerEmulator, QString &error);
// Replaces the file at once as a whole, so that a crash never leaves half of it.
bool save(const QString &path, const RegisterEmulator &registerEmulator, QString &error);

} // namespace StateFile
