#pragma once

#include <QString>

// The register's single-byte code page, read and written through three text
// schemes: general, mixed, and capitals (mixed with upper-case letters).
// None of these fails; all return 0.
int deviceToTextGeneral(const char *bytes, int count, QString &text);
int deviceToTextMixed(const char *bytes, int count, QString &text, bool capitals);
// Write the first min(length, text length) characters, one byte each, and
// leave the rest of the buffer untouched.
int textToDeviceGeneral(const QString &text, char *buffer, int length);
int textToDeviceMixed(const QString &text, char *buffer, int length, bool capitals);
