#include "driverresult.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

namespace DriverResult {

namespace {

constexpr mode_t OwnerReadWrite = S_IRUSR | S_IWUSR;
constexpr mode_t GroupReadWrite = S_IRGRP | S_IWGRP;

// The name, or the number of an id the system has no name for, which usermod
// takes as well.
QString groupName(gid_t id)
{
    const group *entry = ::getgrgid(id);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(id);
}

QString userName(uid_t id)
{
    const passwd *entry = ::getpwuid(id);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(id);
}

} // namespace

QString description(int code, const QString &detail, const QString &hint)
{
    for (const Entry &entry : Entries) {
        if (entry.code != code)
            continue;
        QString text = QString::fromUtf8(entry.description);
        if (!detail.isEmpty())
            text += QStringLiteral(" (%1)").arg(detail);
        if (!hint.isEmpty())
            text += QStringLiteral(". %1.").arg(hint);
        else if (entry.hint)
            text += QStringLiteral(". %1.").arg(QString::fromUtf8(entry.hint));
        return text;
    }
    return QString();
}

// Joining the root group to reach one device would give away far more, so
// such a device counts as root's alone.
QString permissionHint(uid_t owner, gid_t group, mode_t mode)
{
    if (group != 0 && (mode & GroupReadWrite) == GroupReadWrite)
        return QStringLiteral("Добавьте пользователя в группу %1 (sudo usermod -aG %1 $USER) и "
                              "войдите в систему заново")
            .arg(groupName(group));
    if (owner != 0 && (mode & OwnerReadWrite) == OwnerReadWrite)
        return QStringLiteral("Открыть устройство могут только пользователь %1 и root")
            .arg(userName(owner));
    return QStringLiteral(
        "Открыть устройство может только root: попросите администратора дать вам доступ к нему");
}

QString permissionHint(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QString();
    return permissionHint(status.st_uid, status.st_gid, status.st_mode);
}

} // namespace DriverResult
