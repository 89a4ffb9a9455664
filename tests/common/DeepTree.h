#pragma once
// Test helper: a chain of folders deeper than the system's path limit, made and removed relative
// to open folders (plain path calls fail down there).
#include <QByteArray>
#include <QFile>
#include <QString>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace deep_tree {

// levels folders of 200 'd's under root, then file "deep.txt" holding content; returns the
// file's full path in the file system's bytes, or an empty array on failure.
inline QByteArray make(const QString& root, int levels, const QByteArray& content)
{
    const QByteArray name(200, 'd');
    QByteArray path = QFile::encodeName(root);
    int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        if (::mkdirat(fd, name.constData(), 0755) != 0) {
            ::close(fd);
            return {};
        }
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += '/' + name;
    }
    if (fd < 0)
        return {};
    const int file = ::openat(fd, "deep.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::close(fd);
    if (file < 0)
        return {};
    const bool ok = ::write(file, content.constData(), std::size_t(content.size())) == content.size();
    ::close(file);
    return ok ? path + "/deep.txt" : QByteArray();
}

// Removes everything below the open folder fd (not fd itself); closes fd.
inline void removeBelow(int fd)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            const int child = ::openat(::dirfd(dir), name.constData(), O_RDONLY | O_DIRECTORY);
            if (child >= 0)
                removeBelow(child);
            ::unlinkat(::dirfd(dir), name.constData(), AT_REMOVEDIR);
        } else {
            ::unlinkat(::dirfd(dir), name.constData(), 0);
        }
    }
    ::closedir(dir);
}

// Empties root so that its owner can delete it the ordinary way.
inline void clear(const QString& root)
{
    const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0)
        removeBelow(fd);
}

} // namespace deep_tree
