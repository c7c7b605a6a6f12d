#pragma once

#include "extensionsystem_global.h"

#include <QString>

#include <cstdio>
#include <string>

namespace ExtensionSystem {

// Reading and replacing the files a user names (settings, exports, catalogues) without the
// surprises of special files: a FIFO blocks whoever opens it, a device never ends or is replaced
// by a rename, a full disk truncates what was there. Only regular files are read or replaced.

enum class FileProblem {
    None,
    Missing, // no such file, or (writing) no such folder
    Directory, // the name is a folder
    NotRegularFile, // a device, FIFO or socket
    NoPermission,
    TooLarge, // larger than the reader takes
    Failed, // reading or writing failed otherwise (a full disk, an I/O error): see reason
};

struct EXTENSIONSYSTEM_EXPORT FileStatus
{
    FileProblem problem = FileProblem::None;
    QString reason; // the system's words for the failure
    qint64 size = 0; // the file's size when known

    bool ok() const { return problem == FileProblem::None; }
    static FileStatus fromErrno(int error, qint64 size = 0);
};

// Opens `path` for reading when it names a regular file (links followed) of at most `maxBytes`;
// anything else is refused before it is opened. The file is closed with fclose.
EXTENSIONSYSTEM_EXPORT FileStatus openRegularFile(const QString &path, qint64 maxBytes,
                                                  std::FILE **file);
// The whole of such a file.
EXTENSIONSYSTEM_EXPORT FileStatus readRegularFile(const QString &path, qint64 maxBytes,
                                                  std::string *content);

// Whether `path` may be replaced by a new file: it names a regular file we may write, or
// nothing yet in a folder that exists.
EXTENSIONSYSTEM_EXPORT FileStatus checkReplaceable(const QString &path);

// Replaces a file only by a complete, durable new one. The text goes into
// ".<name>.saving-XXXXXX" beside the target; commit() syncs it, renames it over the target and
// syncs the folder. Until then, and whenever anything fails, the target is as it was; the
// partial file is removed (a file of that pattern left behind is from a save that was killed).
class EXTENSIONSYSTEM_EXPORT SafeFileWriter
{
public:
    explicit SafeFileWriter(const QString &path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    FileStatus open();
    // False once anything failed; later writes do nothing.
    bool write(const char *data, qint64 size);
    FileStatus commit();
    const FileStatus &status() const { return m_status; }
    // The partial file's name while open (for tests).
    QString temporaryPath() const { return m_temporary; }

private:
    void discard();

    QString m_path; // the target, links resolved
    QString m_temporary;
    int m_fd = -1;
    FileStatus m_status;
};

} // namespace ExtensionSystem
