#pragma once
#include <QString>

namespace morvello {

// The form a pupil's name is kept in, so that the same pupil finds the same
// results row whatever spacing or case was typed: leading and trailing spaces
// dropped, every run of spaces inside collapsed to one, upper case, at most
// the first 20 words. Only the space character separates words; tabs and
// every other character stay as typed.
QString normalisedPupilName(const QString &typed);

// Longest answer the name entry accepts.
constexpr int kMaxNameLength = 255;
// Words a name may have; later words are dropped.
constexpr int kMaxNameWords = 20;

} // namespace morvello
