// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register.h"
#include "register/registerimport.h"
#include "storage/database.h"
#include "support_classroom.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace morvello;

// A copy of the program killed while it imports loses no row it reported
// imported, and the next import completes the register without doubles.
class TstRegisterKill : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileImporting_data()
    {
        QTest::addColumn<int>("reportsBeforeKill");
        QTest::newRow("at once") << 0;
        QTest::newRow("after one file") << 1;
        QTest::newRow("after four files") << 4;
    }
    void killedWhileImporting()
    {
        QFETCH(int, reportsBeforeKill);
        QTemporaryDir dir;
        QStringList files;
        int all = 0;
        for (int c = 0; c < 8; ++c) {
            test::ClassroomComputer pc(dir.filePath(QStringLiteral("pc%1.mdb").arg(c)), QStringLiteral("pc%1").arg(c));
            for (int p = 0; p < 5; ++p) {
                QVERIFY(pc.visit(QStringLiteral("ALUNNO %1").arg(p), FieldGroup::Poesia, {{1, 2, 50}, {2, 2, 100}},
                                 QDateTime(QDate(2026, 10, 1 + c), QTime(9, p))));
                all += 2;
            }
            pc.close();
            files << pc.archive();
        }
        const QString path = dir.filePath(QStringLiteral("classe.sqlite"));
        QVERIFY(Register::create(path, QStringLiteral("3D")));

        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(fds[0]);
            int code = 1;
            if (auto reg = Register::open(path)) {
                int reported = 0;
                code = 0;
                for (const QString &f : files) {
                    const ImportOutcome out = importFile(*reg, f, QDateTime::currentDateTime());
                    if (!out.imported) {
                        code = 2;
                        break;
                    }
                    reported += out.newRows;
                    if (::write(fds[1], &reported, sizeof reported) != sizeof reported)
                        break;
                }
            }
            ::_exit(code);
        }
        ::close(fds[1]);
        int reported = 0;
        for (int i = 0; i < reportsBeforeKill; ++i)
            QCOMPARE(::read(fds[0], &reported, sizeof reported), ssize_t(sizeof reported));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        // What else the child reported before it died counts too.
        int more = 0;
        while (::read(fds[0], &more, sizeof more) == ssize_t(sizeof more))
            reported = more;
        ::close(fds[0]);

        DbError error;
        auto reg = Register::open(path, &error);
        QVERIFY2(reg, qPrintable(error.message));
        QVERIFY(reg->database().checkIntegrity(&error));
        QSqlQuery q(reg->database().connection());
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM tentativi")) && q.next());
        const int kept = q.value(0).toInt();
        QVERIFY2(kept >= reported, qPrintable(QStringLiteral("%1 kept, %2 reported").arg(kept).arg(reported)));
        q.finish();
        int added = 0;
        for (const QString &f : files) {
            const ImportOutcome out = importFile(*reg, f, QDateTime::currentDateTime());
            QVERIFY2(out.imported, qPrintable(out.message));
            added += out.newRows;
        }
        QCOMPARE(kept + added, all);
    }
};

QTEST_GUILESS_MAIN(TstRegisterKill)
#include "tst_registerkill.moc"
