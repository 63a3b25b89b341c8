#include "terminallink.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
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

bool sameFile(const struct stat &one, const struct stat &other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

} // namespace

TerminalLink::~TerminalLink()
{
    // Another run may have taken the name over since.
    if (!m_path.isEmpty() && linkTarget(m_path) == m_target)
        ::unlink(m_path.constData());
    unlock();
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
    m_lockPath = linkPath + ".lock";
    bool lockExisted = false;
    if (!lock(lockExisted, error))
        return false;
    const auto refuse = [&](const QString &reason) {
        error = reason;
        unlock();
        return false;
    };
    struct stat status;
    if (::lstat(linkPath.constData(), &status) == 0) {
        if (!S_ISLNK(status.st_mode))
            return refuse(QStringLiteral("exists and is not a symbolic link"));
        // Without a lock file beside it, a link that leads somewhere was made
        // by someone else. With one, the terminal it names may have been
        // handed out again after its emulator was killed.
        if (!lockExisted && ::stat(linkPath.constData(), &status) == 0)
            return refuse(QStringLiteral("already links to %1, which exists")
                              .arg(QFile::decodeName(linkTarget(linkPath))));
        if (!lockExisted && errno != ENOENT)
            return refuse(systemError());
        ::unlink(linkPath.constData());
    }
    if (::symlink(linkTo.constData(), linkPath.constData()) != 0)
        return refuse(systemError());
    m_path = linkPath;
    m_target = linkTo;
    return true;
}

bool TerminalLink::lock(bool &lockExisted, QString &error)
{
    const QString lockName = QFile::decodeName(m_lockPath);
    for (;;) {
        lockExisted = false;
        int fd = ::open(m_lockPath.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) {
            lockExisted = true;
            fd = ::open(m_lockPath.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT) // its emulator has just stopped
                continue;
        }
        if (fd < 0) {
            error = QStringLiteral("%1: %2").arg(lockName, systemError());
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = errno == EWOULDBLOCK
                        ? QStringLiteral("a running emulator holds it (%1 is locked)").arg(lockName)
                        : QStringLiteral("%1: %2").arg(lockName, systemError());
            ::close(fd);
            return false;
        }
        // The emulator that held the lock removes its file before letting go;
        // a lock on a file no longer there keeps nobody out.
        struct stat locked;
        struct stat named;
        if (::fstat(fd, &locked) == 0 && ::stat(m_lockPath.constData(), &named) == 0 &&
            sameFile(locked, named)) {
            m_lockFd = fd;
            return true;
        }
        ::close(fd);
    }
}

void TerminalLink::unlock()
{
    if (m_lockFd < 0)
        return;
    // Removed while still held, so that nobody takes the lock on the old file.
    ::unlink(m_lockPath.constData());
    ::close(m_lockFd);
    m_lockFd = -1;
}
