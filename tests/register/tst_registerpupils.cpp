// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/classtable.h"
#include "register/pupils.h"
#include "register/register.h"
#include "register/registerimport.h"
#include "support_classroom.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

const QDateTime kStart(QDate(2026, 10, 5), QTime(9, 0, 0));

qint64 idOf(Register &reg, const QString &name)
{
    for (const PupilLine &l : classTable(reg, {}, {}, nullptr, true))
        if (l.name == name)
            return l.id;
    for (const PupilLine &l : classTable(reg, {}, {}, nullptr, true))
        for (const JoinedName &j : joinedTo(reg, l.id))
            if (j.name == name)
                return j.id;
    return 0;
}

// "NAME=attempts" for each line of the class view, in order.
QStringList view(Register &reg, bool withHidden = false)
{
    QStringList out;
    for (const PupilLine &l : classTable(reg, {}, {}, nullptr, withHidden))
        out << QStringLiteral("%1=%2").arg(l.name).arg(l.cells.at(groupIndex(QStringLiteral("genette"))).attempts);
    return out;
}

} // namespace

class TstRegisterPupils : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Register> m_reg;

private slots:
    void init()
    {
        const QString tag = QString::fromLatin1(QTest::currentTestFunction()) + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        m_reg = Register::create(m_dir.filePath(tag + QStringLiteral(".sqlite")), QStringLiteral("1A"));
        QVERIFY(m_reg);
        test::ClassroomComputer pc(m_dir.filePath(tag + QStringLiteral("-testi1.mdb")), QStringLiteral("pc"));
        // Typed three ways on the classroom computers: the last two are one
        // pupil only to the teacher.
        QVERIFY(pc.visit(QStringLiteral("DE ANGELIS MARCO"), FieldGroup::Genette, {{1, 2, 50}}, kStart));
        QVERIFY(pc.visit(QStringLiteral("DEANGELIS MARCO"), FieldGroup::Genette, {{2, 2, 100}}, kStart.addDays(1)));
        QVERIFY(pc.visit(QStringLiteral("DÈ ANGELIS MARCO"), FieldGroup::Genette, {{0, 2, 0}}, kStart.addDays(2)));
        QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Genette, {{1, 1, 100}}, kStart));
        pc.close();
        QVERIFY(importFile(*m_reg, pc.archive(), kStart.addDays(5)).imported);
    }
    void cleanup() { m_reg.reset(); }

    void lookAlikesListed()
    {
        const QVector<LookAlike> pairs = lookAlikes(*m_reg);
        QStringList names;
        for (const LookAlike &p : pairs)
            names << p.a.name + QStringLiteral(" / ") + p.b.name;
        QCOMPARE(names, (QStringList{QStringLiteral("DE ANGELIS MARCO / DEANGELIS MARCO"),
                                     QStringLiteral("DE ANGELIS MARCO / DÈ ANGELIS MARCO")}));
    }

    // Joins in several orders, and what the class view shows after each
    // join and after the last one is undone.
    void joinAndUndo_data()
    {
        QTest::addColumn<QStringList>("joins"); // "NAME>INTO"
        QTest::addColumn<QStringList>("joined");
        QTest::addColumn<QStringList>("undone");
        const QString a = QStringLiteral("DE ANGELIS MARCO");
        const QString b = QStringLiteral("DEANGELIS MARCO");
        const QString c = QStringLiteral("DÈ ANGELIS MARCO");
        QTest::newRow("one join") << QStringList{b + QLatin1Char('>') + a}
                                  << QStringList{a + QStringLiteral("=2"), c + QStringLiteral("=1"), QStringLiteral("ROSSI ANNA=1")}
                                  << QStringList{a + QStringLiteral("=1"), b + QStringLiteral("=1"), c + QStringLiteral("=1"), QStringLiteral("ROSSI ANNA=1")};
        QTest::newRow("two joins") << QStringList{b + QLatin1Char('>') + a, c + QLatin1Char('>') + a}
                                   << QStringList{a + QStringLiteral("=3"), QStringLiteral("ROSSI ANNA=1")}
                                   << QStringList{a + QStringLiteral("=2"), c + QStringLiteral("=1"), QStringLiteral("ROSSI ANNA=1")};
        // Joined into a joined name: it goes to the pupil that one shows as.
        QTest::newRow("into a joined name") << QStringList{b + QLatin1Char('>') + a, c + QLatin1Char('>') + b}
                                            << QStringList{a + QStringLiteral("=3"), QStringLiteral("ROSSI ANNA=1")}
                                            << QStringList{a + QStringLiteral("=2"), c + QStringLiteral("=1"), QStringLiteral("ROSSI ANNA=1")};
        // A pupil with names joined to it, joined in turn: they follow.
        QTest::newRow("joined pupil joined") << QStringList{b + QLatin1Char('>') + a, a + QLatin1Char('>') + c}
                                             << QStringList{c + QStringLiteral("=3"), QStringLiteral("ROSSI ANNA=1")}
                                             << QStringList{a + QStringLiteral("=1"), c + QStringLiteral("=2"), QStringLiteral("ROSSI ANNA=1")};
    }
    void joinAndUndo()
    {
        QFETCH(QStringList, joins);
        QFETCH(QStringList, joined);
        QFETCH(QStringList, undone);
        qint64 last = 0;
        for (const QString &j : joins) {
            const QStringList parts = j.split(QLatin1Char('>'));
            last = idOf(*m_reg, parts.at(0));
            QVERIFY2(!joinPupils(*m_reg, last, idOf(*m_reg, parts.at(1))).isError(), qPrintable(j));
        }
        QCOMPARE(view(*m_reg), joined);
        QVERIFY(!separatePupil(*m_reg, last).isError());
        QCOMPARE(view(*m_reg), undone);
        // Nothing was deleted by any of it.
        QCOMPARE(attemptsOf(*m_reg, 0).size(), 4);
    }

    void joinToItselfRefused()
    {
        const qint64 a = idOf(*m_reg, QStringLiteral("DE ANGELIS MARCO"));
        const qint64 b = idOf(*m_reg, QStringLiteral("DEANGELIS MARCO"));
        QVERIFY(joinPupils(*m_reg, a, a).isError());
        QVERIFY(!joinPupils(*m_reg, b, a).isError());
        QVERIFY(joinPupils(*m_reg, a, b).isError());
    }

    void hiddenPupilKeepsEverything()
    {
        const qint64 anna = idOf(*m_reg, QStringLiteral("ROSSI ANNA"));
        QVERIFY(!setHidden(*m_reg, anna, true).isError());
        QVERIFY(!view(*m_reg).contains(QStringLiteral("ROSSI ANNA=1")));
        QVERIFY(view(*m_reg, true).contains(QStringLiteral("ROSSI ANNA=1")));
        QCOMPARE(attemptsOf(*m_reg, anna).size(), 1);
        QVERIFY(!setHidden(*m_reg, anna, false).isError());
        QVERIFY(view(*m_reg).contains(QStringLiteral("ROSSI ANNA=1")));
    }

    void onlyOneCopyOpensARegister()
    {
        const QString path = m_reg->path();
        DbError error;
        QVERIFY(!Register::open(path, &error));
        QCOMPARE(error.number, DbErrorCode::Locked);
        QVERIFY2(error.message.contains(QDir::toNativeSeparators(path)), qPrintable(error.message));
        m_reg.reset();
        m_reg = Register::open(path, &error);
        QVERIFY2(m_reg, qPrintable(error.message));
    }
};

QTEST_GUILESS_MAIN(TstRegisterPupils)
#include "tst_registerpupils.moc"
