#include "driverresult.h"

#include <QFile>

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <vector>

namespace DriverResult {

namespace {

constexpr mode_t OwnerReadWrite = S_IRUSR | S_IWUSR;
constexpr mode_t GroupReadWrite = S_IRGRP | S_IWGRP;

// The name, or the number of an id the system has no name for, which usermod
// takes as well. The reentrant lookups, as connections on other threads may
// ask at the same time; a buffer too small for the entry is grown.
QString groupName(gid_t id)
{
    group entry;
    group *found = nullptr;
    std::vector<char> buffer(1024);
    while (::getgrgid_r(id, &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found ? QString::fromLocal8Bit(found->gr_name) : QString::number(id);
}

QString userName(uid_t id)
{
    passwd entry;
    passwd *found = nullptr;
    std::vector<char> buffer(1024);
    while (::getpwuid_r(id, &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found ? QString::fromLocal8Bit(found->pw_name) : QString::number(id);
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

QString networkHint(int code, const QString &host, quint16 port)
{
    switch (code) {
    case ConnectionRefused:
        return QStringLiteral("ККТ не принимает подключения на порту %1 адреса %2: проверьте "
                              "номер порта и что ККТ или её сервер портов включены")
            .arg(port)
            .arg(host);
    case HostNotFound:
        return QStringLiteral("Адрес %1 не найден: проверьте имя или IP-адрес ККТ и настройки "
                              "сети (DNS)")
            .arg(host);
    case NoRoute:
        return QStringLiteral("Сеть, в которой адрес %1, недоступна: проверьте подключение к сети "
                              "или к VPN")
            .arg(host);
    case HostSilent:
        return QStringLiteral("Адрес %1 не ответил на подключение к порту %2: проверьте адрес, "
                              "питание ККТ и сетевой экран")
            .arg(host)
            .arg(port);
    case DeviceGone:
        return QStringLiteral("Соединение с %1, порт %2, разорвано: проверьте сеть и питание ККТ "
                              "и повторите")
            .arg(host)
            .arg(port);
    case NoConnection:
        return QStringLiteral("Подключение к %1, порт %2, есть, но ККТ не отвечает: проверьте, что "
                              "по этому адресу работает ККТ, её питание и скорость обмена сервера "
                              "портов")
            .arg(host)
            .arg(port);
    default:
        return QString();
    }
}

} // namespace DriverResult
