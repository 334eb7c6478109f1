#pragma once
#include <QString>

namespace morvello {

// The form a pupil's name is kept in, so that the same pupil finds the same
// results row whatever keyboard, spacing or case was used:
//  - composed form (NFC): "NICOLÒ" typed with a dead key or as O + grave
//    accent is one name;
//  - every kind of blank (tab, no-break space, ideographic space, ...) is a
//    plain space; zero-width, control and format characters and halves of
//    broken characters are dropped;
//  - leading and trailing spaces dropped, every run of spaces inside
//    collapsed to one, upper case, at most the first 20 words;
//  - at most 255 characters, cut between two whole characters (an emoji or
//    a letter with its accent is never cut in half).
// A name with nothing visible left is empty.
QString normalisedPupilName(const QString &typed);

// Longest answer the name entry accepts.
constexpr int kMaxNameLength = 255;
// Words a name may have; later words are dropped.
constexpr int kMaxNameWords = 20;

} // namespace morvello
