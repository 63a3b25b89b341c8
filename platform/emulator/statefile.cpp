#include "statefile.h"

#include "registeremulator.h"

#include <QFile>
#include <QSaveFile>

namespace StateFile {

bool load(const QString &path, RegisterEmulator &registerEmulator, QString &error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    if (!registerEmulator.restoreTables(file.readAll())) {
        error = QStringLiteral("not a saved register state");
        return false;
    }
    return true;
}

bool save(const QString &path, const RegisterEmulator &registerEmulator, QString &error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(registerEmulator.saveTables()) >= 0 &&
        file.commit())
        return true;
    error = file.errorString();
    return false;
}

} // namespace StateFile
