// SPDX-License-Identifier: GPL-3.0-or-later
#include "contentfile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvello {

namespace {
// Far beyond any picture the screens show; a bigger file is not one of ours.
constexpr qint64 kMaxPictureBytes = 32 * 1024 * 1024;
} // namespace

ContentTrouble openContentFile(QFile &file, const QString &path)
{
    // Non-blocking, so that opening a pipe does not wait for a writer; the
    // kind of file is asked of what was opened, not of the name, which may
    // have been replaced in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ContentTrouble::Missing : ContentTrouble::Unreadable;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ContentTrouble::NotAFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return ContentTrouble::Unreadable;
    }
    return ContentTrouble::None;
}

QImage readPicture(const QString &path, ContentTrouble *trouble)
{
    ContentTrouble local;
    ContentTrouble &t = trouble ? *trouble : local;
    QFile file;
    t = openContentFile(file, path);
    if (t != ContentTrouble::None)
        return {};
    const QByteArray data = file.read(kMaxPictureBytes + 1);
    if (file.error() != QFileDevice::NoError || data.isEmpty() || data.size() > kMaxPictureBytes) {
        t = ContentTrouble::Unreadable;
        return {};
    }
    // The JPEG reader shows a picture cut short with its missing part grey,
    // without a word: a JPEG must end with its end marker (a few bytes of
    // padding after it are allowed).
    if (data.startsWith("\xff\xd8") && !data.right(64).contains("\xff\xd9")) {
        t = ContentTrouble::Unreadable;
        return {};
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull())
        t = ContentTrouble::Unreadable;
    return image;
}

} // namespace morvello
