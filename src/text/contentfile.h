// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>

class QFile;

namespace morvello {

// Content files (passages, poems, stories, pictures) are read only when they
// are plain files: a pipe or a device put in place of one would keep the
// screen waiting for ever, so it is named at once instead.

enum class ContentTrouble {
    None,
    Missing,    // not there
    NotAFile,   // a folder, a pipe, a device...
    Unreadable, // there, but it cannot be read, or (a picture) is damaged or cut short
};

// Opens `path` for reading into `file` when it is a plain file; otherwise
// says why not. The open never waits.
ContentTrouble openContentFile(QFile &file, const QString &path);

// A picture read whole: null, with the trouble set, when it is missing, not
// a plain file, damaged or cut short (a JPEG without its end).
QImage readPicture(const QString &path, ContentTrouble *trouble = nullptr);

} // namespace morvello
