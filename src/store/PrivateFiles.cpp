#include "store/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool makePrivateDir(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // Each missing folder from the top down, so that none is ever made
    // with the umask's wider mode.
    qsizetype from = 1;
    while (from <= clean.size()) {
        qsizetype slash = clean.indexOf(QLatin1Char('/'), from);
        if (slash < 0)
            slash = clean.size();
        const QByteArray part = QFile::encodeName(clean.left(slash));
        from = slash + 1;
        if (::mkdir(part.constData(), 0700) == 0) {
            // The umask may have taken bits off the owner's own.
            if (::chmod(part.constData(), 0700) != 0)
                return false;
            continue;
        }
        if (errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(clean).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createPrivateFile(const QString &path, const QByteArray &content)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST;
    bool ok = ::fchmod(fd, 0600) == 0;
    for (qsizetype done = 0; ok && done < content.size();) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n > 0 ? n : 0;
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        ::unlink(name.constData());
    return ok;
}
