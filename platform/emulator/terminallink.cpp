#include "terminallink.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// What a link points to; empty when path is no link.
QByteArray linkTarget(const QByteArray &path)
{
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t size = ::readlink(path.constData(), target.data(), size_t(target.size()));
    target.resize(size > 0 ? int(size) : 0);
    return target;
}

} // namespace

TerminalLink::~TerminalLink()
{
    // Another run may have taken the name over since.
    if (!m_path.isEmpty() && linkTarget(m_path) == m_target)
        ::unlink(m_path.constData());
}

bool TerminalLink::create(const QString &path, const QString &target, QString &error)
{
    const QString directory = QFileInfo(path).absolutePath();
    if (!QFileInfo(directory).isDir()) {
        error = QStringLiteral("directory %1 does not exist").arg(directory);
        return false;
    }
    const QByteArray linkPath = QFile::encodeName(path);
    const QByteArray linkTo = QFile::encodeName(target);
    struct stat status;
    if (::lstat(linkPath.constData(), &status) == 0) {
        if (!S_ISLNK(status.st_mode)) {
            error = QStringLiteral("exists and is not a symbolic link");
            return false;
        }
        if (::stat(linkPath.constData(), &status) == 0) {
            error = QStringLiteral("already links to %1, which exists (another emulator running?)")
                        .arg(QFile::decodeName(linkTarget(linkPath)));
            return false;
        }
        if (errno != ENOENT) {
            error = systemError();
            return false;
        }
        ::unlink(linkPath.constData());
    }
    if (::symlink(linkTo.constData(), linkPath.constData()) != 0) {
        error = systemError();
        return false;
    }
    m_path = linkPath;
    m_target = linkTo;
    return true;
}
