#pragma once

#include <QByteArray>

#include <functional>

class QMyTableWidget;

// Shared by the table file targets: the input, loaded from a file into a new
// editor, must not crash it; when it loads with result 0 and the editor saves
// it, the saved file loads into another new editor as the same grid.
namespace TableFileCheck {

// Sets up Qt for the editors, once per process.
void start();
void loadSaveLoad(const std::function<QMyTableWidget *()> &newEditor, const QByteArray &file,
                  const char *suffix);

} // namespace TableFileCheck
