#include "safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ExtensionSystem {

namespace {

FileStatus problem(FileProblem kind, qint64 size = 0)
{
    FileStatus status;
    status.problem = kind;
    status.size = size;
    return status;
}

// Refuses what is no regular file, from what stat or fstat said.
FileStatus judge(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return problem(FileProblem::Directory);
    if (!S_ISREG(info.st_mode))
        return problem(FileProblem::NotRegularFile);
    return problem(FileProblem::None, qint64(info.st_size));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(qMin<qint64>(size, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

FileStatus FileStatus::fromErrno(int error, qint64 size)
{
    FileStatus status;
    switch (error) {
    case 0:
        status.problem = FileProblem::None;
        break;
    case ENOENT:
    case ENOTDIR:
        status.problem = FileProblem::Missing;
        break;
    case EISDIR:
        status.problem = FileProblem::Directory;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        status.problem = FileProblem::NoPermission;
        break;
    default:
        status.problem = FileProblem::Failed;
        break;
    }
    status.reason = QString::fromLocal8Bit(std::strerror(error));
    status.size = size;
    return status;
}

FileStatus openRegularFile(const QString &path, qint64 maxBytes, std::FILE **file)
{
    *file = nullptr;
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    // Looked at before opening: opening a FIFO waits for a writer, opening a device may act.
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0)
        return FileStatus::fromErrno(name.isEmpty() ? ENOENT : errno);
    FileStatus status = judge(info);
    if (!status.ok())
        return status;
    // Non-blocking, should a FIFO have taken the file's place meanwhile; fstat looks again.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FileStatus::fromErrno(errno);
    status = ::fstat(fd, &info) == 0 ? judge(info) : FileStatus::fromErrno(errno);
    if (status.ok() && status.size > maxBytes)
        status.problem = FileProblem::TooLarge;
    if (status.ok()) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        *file = ::fdopen(fd, "rb");
        if (!*file)
            status = FileStatus::fromErrno(errno);
    }
    if (!*file)
        ::close(fd);
    return status;
}

FileStatus readRegularFile(const QString &path, qint64 maxBytes, std::string *content)
{
    content->clear();
    std::FILE *file = nullptr;
    FileStatus status = openRegularFile(path, maxBytes, &file);
    if (!status.ok())
        return status;
    // Bounded whatever the size said: a file may grow while it is read.
    content->resize(size_t(status.size) + 1);
    const size_t got = std::fread(&(*content)[0], 1, content->size(), file);
    const bool failed = std::ferror(file);
    const int error = errno;
    std::fclose(file);
    if (failed)
        return FileStatus::fromErrno(error, status.size);
    if (qint64(got) > status.size) {
        content->clear();
        return problem(FileProblem::TooLarge, qint64(got));
    }
    content->resize(got);
    return status;
}

FileStatus checkReplaceable(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return problem(FileProblem::Missing);
    struct stat info;
    if (::stat(name.constData(), &info) == 0) {
        const FileStatus status = judge(info);
        if (!status.ok())
            return status;
        if (::access(name.constData(), W_OK) != 0)
            return FileStatus::fromErrno(errno);
    } else if (errno != ENOENT) {
        return FileStatus::fromErrno(errno);
    }
    // The new file is made in the target's folder, which must exist and take it.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::stat(folder.constData(), &info) != 0)
        return FileStatus::fromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return FileStatus::fromErrno(ENOTDIR);
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return FileStatus::fromErrno(errno);
    return FileStatus();
}

SafeFileWriter::SafeFileWriter(const QString &path)
    : m_path(path)
{
    // A link stays a link: its target is replaced.
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists())
        m_path = info.canonicalFilePath();
}

SafeFileWriter::~SafeFileWriter()
{
    discard();
}

FileStatus SafeFileWriter::open()
{
    m_status = checkReplaceable(m_path);
    if (!m_status.ok())
        return m_status;
    const QFileInfo target(m_path);
    struct stat old;
    const bool replacing = ::stat(QFile::encodeName(m_path).constData(), &old) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(
                "abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)]);
        m_temporary = target.absolutePath() + QLatin1String("/.") + target.fileName()
            + QLatin1String(".saving-") + suffix;
        // 0666 less the umask, as any new file.
        m_fd = ::open(QFile::encodeName(m_temporary).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0 || errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_status = FileStatus::fromErrno(errno);
        m_temporary.clear();
        return m_status;
    }
    if (replacing) { // the new file takes the old one's permissions (and owner, where allowed)
        ::fchmod(m_fd, old.st_mode & 07777);
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away; the file is then the user's own.
        }
    }
    return m_status;
}

bool SafeFileWriter::write(const char *data, qint64 size)
{
    if (!m_status.ok() || m_fd < 0)
        return false;
    if (!writeAll(m_fd, data, size)) {
        m_status = FileStatus::fromErrno(errno);
        return false;
    }
    return true;
}

FileStatus SafeFileWriter::commit()
{
    if (m_fd < 0 && m_status.ok())
        m_status = FileStatus::fromErrno(EBADF);
    if (!m_status.ok()) {
        discard();
        return m_status;
    }
    // A full disk or a failing device may show only here.
    if (::fsync(m_fd) != 0 || ::close(m_fd) != 0) {
        m_status = FileStatus::fromErrno(errno);
        m_fd = -1;
        discard();
        return m_status;
    }
    m_fd = -1;
    // Checked again: something else may have taken the name meanwhile.
    const FileStatus target = checkReplaceable(m_path);
    if (!target.ok()) {
        m_status = target;
        discard();
        return m_status;
    }
    if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_path).constData())
        != 0) {
        m_status = FileStatus::fromErrno(errno);
        discard();
        return m_status;
    }
    m_temporary.clear();
    // The rename itself lasts once the folder is synced.
    const int folder = ::open(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return m_status;
}

void SafeFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        m_temporary.clear();
    }
}

} // namespace ExtensionSystem
