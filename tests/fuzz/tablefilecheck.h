#pragma once

#include <QByteArray>

// Shared by the table file targets: the input, loaded from a file into a new
// table, must not crash it; when it loads with result 0 and the table saves
// it, the saved file loads into another new table as the same cells.
namespace TableFileCheck {

// Sets up Qt, once per process.
void start();
// The file's format follows the suffix, as for the editors.
void loadSaveLoad(int table, const QByteArray &file, const char *suffix);

} // namespace TableFileCheck
