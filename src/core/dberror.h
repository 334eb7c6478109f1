// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace morvello {

// Engine failures carry a number, as the old file engine's did, so that a
// caller can tell a missing file from any other trouble.
namespace DbErrorCode {
constexpr int None = 0;
constexpr int NoCurrentRecord = 3021;
constexpr int DuplicateKey = 3022;
constexpr int FileNotFound = 3024;
constexpr int DiskFull = 3026;
constexpr int ReadOnly = 3027;
constexpr int NotOpen = 3420;
constexpr int CannotOpen = 3051;
constexpr int TableNotFound = 3078;
constexpr int FieldNotFound = 3265;
constexpr int Locked = 3260;
constexpr int NotADatabase = 3343;
constexpr int Damaged = 3049;
constexpr int Generic = 3000;
// The lab server did not answer or the connection was lost.
constexpr int ConnectionFailed = 3151;
} // namespace DbErrorCode

struct DbError {
    int number = DbErrorCode::None;
    QString message; // Italian, fit to show to a pupil or a teacher

    bool isError() const { return number != DbErrorCode::None; }
    static DbError make(int n, const QString &m) { return DbError{n, m}; }
};

} // namespace morvello
