// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "classtable.h"

#include <QByteArray>
#include <QIODevice>
#include <QStringList>

namespace morvello {

class Register;

// CSV for spreadsheets in an Italian locale: ";" between fields (the comma
// is the decimal mark there), fields quoted as RFC 4180 says when they hold
// ";", a quote or a line break, lines ended by CR LF, UTF-8 with a byte-order
// mark (without it LibreOffice Calc and others read the accents as another
// encoding), numbers with the decimal comma, dates as 31/12/2026 14:05.
QByteArray csvDocument(const QVector<QStringList> &rows);
QString csvField(const QString &value);

// The class view: a line per pupil, per group the latest percentage, the
// best and the number of attempts.
QByteArray classCsv(const QVector<PupilLine> &lines);
// Every attempt of the register, pupil by pupil in time order: pupil,
// group, right, total, percentage, date, computer, whether it came from a
// history or a tabtesti group. Written as it is read, a piece at a time, so
// that a school's million attempts never sit in memory twice.
bool writeAttemptsCsv(Register &reg, QIODevice &out, DbError *error = nullptr);

} // namespace morvello
