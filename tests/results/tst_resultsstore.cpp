// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/database.h"
#include "storage/resultsstore.h"
#include "storage/schema.h"
#include "testsupport.h"
#include "kit/activityscreen.h"

#include <QSqlQuery>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;
using morvello::test::TestContext;

Q_DECLARE_METATYPE(morvello::FieldGroup)

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(10, 30, 0));

QVector<QVariant> rowOf(Database &db, const QString &name)
{
    DbError e;
    const auto row = lookupPupil(db, name, &e);
    if (e.isError())
        qWarning("lookup failed: %s", qPrintable(e.message));
    return row ? *row : QVector<QVariant>();
}

int tabtestiRows(Database &db)
{
    return int(test::tableRows(db, QStringLiteral("tabtesti")).size());
}

} // namespace

class TstResultsStore : public QObject
{
    Q_OBJECT

private slots:
    // The one description of the groups against the file the program makes
    // and what a save writes.
    void groupTableMatchesTheFile_data()
    {
        QTest::addColumn<int>("index");
        const QVector<ResultGroup> &groups = resultGroups();
        for (int i = 0; i < groups.size(); ++i)
            QTest::newRow(qPrintable(groups[i].columns[0])) << i;
    }
    void groupTableMatchesTheFile()
    {
        QFETCH(int, index);
        const ResultGroup &g = resultGroups().at(index);
        QCOMPARE(resultGroups().size(), 8);
        QCOMPARE(g.firstColumn(), 2 + 4 * index); // in column order, edge to edge

        TestContext t;
        QStringList names;
        QStringList types;
        {
            QSqlQuery q(t.db->connection());
            QVERIFY(q.exec(t.onServer() ? QStringLiteral("SELECT column_name, upper(data_type) FROM information_schema.columns "
                                                         "WHERE table_name = 'tabtesti' ORDER BY ordinal_position")
                                        : QStringLiteral("SELECT name, type FROM pragma_table_info('tabtesti')")));
            while (q.next()) {
                names << q.value(0).toString();
                types << q.value(1).toString();
            }
        }
        QCOMPARE(names.size(), 34);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(names.at(g.firstColumn() + k), g.columns[k]);
            QCOMPARE(types.at(g.firstColumn() + k) == QLatin1String("SMALLINT"), g.int16[k]);
        }

        // A save writes the group's four columns and nothing else; a 16-bit
        // total is rounded, halves to the even neighbour.
        t.session.nomeStudente = QStringLiteral("GRUPPO");
        QVERIFY(!saveGroup(t, g.group, 2.5, 3.5, 40).isError());
        const QVector<QVariant> row = rowOf(*t.db, QStringLiteral("GRUPPO"));
        for (int p = 2; p < 34; ++p)
            QCOMPARE(row.at(p).isNull(), p < g.firstColumn() || p >= g.firstColumn() + 4);
        QCOMPARE(row.at(g.firstColumn()).toDouble(), 2.5);
        QCOMPARE(row.at(g.firstColumn() + 1).toDouble(), g.int16[1] ? 4.0 : 3.5);
        QCOMPARE(row.at(g.firstColumn() + 2).toDouble(), 40.0);
        if (g.dateText.isEmpty())
            QCOMPARE(row.at(g.firstColumn() + 3).toDateTime(), kNow);
        else
            QCOMPARE(row.at(g.firstColumn() + 3).toString(), g.dateText);
        QCOMPARE(resultGroup(g.group).columns, g.columns);
    }

    void firstSaveCreatesRowWithNameAndGroupOnly_data()
    {
        QTest::addColumn<FieldGroup>("group");
        QTest::newRow("espositivi") << FieldGroup::Espositivi;
        QTest::newRow("poesia") << FieldGroup::Poesia;
        QTest::newRow("figure") << FieldGroup::Figure;
        QTest::newRow("definizioni") << FieldGroup::Definizioni;
        QTest::newRow("sequenze") << FieldGroup::Sequenze;
        QTest::newRow("aiuti") << FieldGroup::Aiuti;
        QTest::newRow("tiposequenze") << FieldGroup::TipoSequenze;
        QTest::newRow("genette") << FieldGroup::Genette;
    }
    void firstSaveCreatesRowWithNameAndGroupOnly()
    {
        QFETCH(FieldGroup, group);
        TestContext t;
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        const DbError e = saveGroup(t, group, 7, 9, 77);
        QVERIFY2(!e.isError(), qPrintable(e.message));

        const QVector<QVariant> row = rowOf(*t.db, QStringLiteral("ROSSI MARIO"));
        QCOMPARE(row.size(), 34);
        QVERIFY(!row.at(0).isNull()); // the automatic row key
        QCOMPARE(row.at(1).toString(), QStringLiteral("ROSSI MARIO"));
        const int first = int(group);
        for (int i = 2; i < 34; ++i) {
            if (i < first || i > first + 3)
                QVERIFY2(row.at(i).isNull(), qPrintable(QString::number(i)));
        }
        QCOMPARE(row.at(first).toDouble(), 7.0);
        QCOMPARE(row.at(first + 1).toDouble(), 9.0);
        QCOMPARE(row.at(first + 2).toDouble(), 77.0);
        if (group == FieldGroup::Aiuti)
            QCOMPARE(row.at(first + 3), QVariant(QStringLiteral("(...)")));
        else
            QCOMPARE(row.at(first + 3), QVariant(kNow));
        QCOMPARE(tabtestiRows(*t.db), 1);
        QVERIFY(t.dialogs.messages.isEmpty());
    }

    void secondSaveOverwritesOnlyItsGroup()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("BIANCHI ANNA");
        QVERIFY(!saveGroup(t, FieldGroup::Espositivi, 3, 5, 60).isError());
        QVERIFY(!saveGroup(t, FieldGroup::Poesia, 6, 6, 96).isError());
        const QDateTime later = kNow.addSecs(3600);
        t.clock.set(later);
        QVERIFY(!saveGroup(t, FieldGroup::Espositivi, 4, 10, 40).isError());

        const QVector<QVariant> row = rowOf(*t.db, QStringLiteral("BIANCHI ANNA"));
        QCOMPARE(row.at(2).toDouble(), 4.0);
        QCOMPARE(row.at(3).toDouble(), 10.0);
        QCOMPARE(row.at(4).toDouble(), 40.0);
        QCOMPARE(row.at(5).toDateTime(), later);
        QCOMPARE(row.at(6).toDouble(), 6.0);
        QCOMPARE(row.at(8).toDouble(), 96.0);
        QCOMPARE(row.at(9).toDateTime(), kNow);
        QCOMPARE(tabtestiRows(*t.db), 1);
    }

    void guestsShareOneRow()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("Ospite");
        QVERIFY(!saveGroup(t, FieldGroup::Genette, 1, 2, 50).isError());
        t.session.nomeStudente = QStringLiteral("ALTRO");
        QVERIFY(!saveGroup(t, FieldGroup::Genette, 1, 1, 100).isError());
        t.session.nomeStudente = QStringLiteral("Ospite");
        QVERIFY(!saveGroup(t, FieldGroup::Figure, 2, 3, 66).isError());
        QCOMPARE(tabtestiRows(*t.db), 2);
        // The results screen searches in upper case.
        const QVector<QVariant> row = rowOf(*t.db, QStringLiteral("OSPITE"));
        QCOMPARE(row.at(1).toString(), QStringLiteral("Ospite"));
        QCOMPARE(row.at(30).toDouble(), 1.0);
        QCOMPARE(row.at(10).toDouble(), 2.0);
    }

    void emptyNameSavesNothing_data()
    {
        QTest::addColumn<QString>("database");
        QTest::newRow("open database") << "open";
        QTest::newRow("no database") << "none";
        QTest::newRow("read-only database") << "readonly";
    }
    void emptyNameSavesNothing()
    {
        QFETCH(QString, database);
        TestContext t;
        if (database == QLatin1String("none"))
            t.host->setDatabase(nullptr);
        if (database == QLatin1String("readonly"))
            QVERIFY(makeReadOnly(*t.db));
        t.session.nomeStudente.clear();
        QVERIFY(!saveGroup(t, FieldGroup::Espositivi, 3, 5, 60).isError());
        QVERIFY(!saveGroups(t, {GroupValues{FieldGroup::Sequenze, 1, 2, 50, {}},
                                    GroupValues{FieldGroup::Aiuti, 0, 1, 0, {}}})
                     .isError());
        QVERIFY(!registerNarrativeResult(t, 2, 4).isError());
        QCOMPARE(tabtestiRows(*t.db), 0);
        QCOMPARE(test::tableRows(*t.db, QStringLiteral("studenti")).size(), 0);
        QVERIFY(t.dialogs.messages.isEmpty());
        QVERIFY(!t.db->inTransaction());
    }

    void bothFindingGroupsInOneUpdate()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("VERDI LUCA");
        const DbError e = saveGroups(t, {GroupValues{FieldGroup::Sequenze, 12, 15, 80, {}},
                                             GroupValues{FieldGroup::Aiuti, 2, 5, 33.333333, {}}});
        QVERIFY2(!e.isError(), qPrintable(e.message));
        const QVector<QVariant> row = rowOf(*t.db, QStringLiteral("VERDI LUCA"));
        QCOMPARE(row.at(18).toDouble(), 12.0);
        QCOMPARE(row.at(19).toDouble(), 15.0);
        QCOMPARE(row.at(20).toDouble(), 80.0);
        QCOMPARE(row.at(21), QVariant(kNow));
        QCOMPARE(row.at(22).toDouble(), 2.0);
        QCOMPARE(row.at(23).toInt(), 5);
        QCOMPARE(row.at(24).toDouble(), 33.333333); // kept with its fraction
        QCOMPARE(row.at(25).typeId(), QMetaType::QString);
        QCOMPARE(row.at(25).toString(), QStringLiteral("(...)"));
    }

    void givenDateIsKept()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("NERI");
        const QDateTime when(QDate(2024, 1, 2), QTime(8, 0, 0));
        QVERIFY(!saveGroups(t, {GroupValues{FieldGroup::Genette, 1, 2, 50, when}}).isError());
        QCOMPARE(rowOf(*t.db, QStringLiteral("NERI")).at(33).toDateTime(), when);
    }

    void sixteenBitTotals_data()
    {
        QTest::addColumn<FieldGroup>("group");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("stored");
        QTest::addColumn<bool>("whole");
        QTest::newRow("figuresb half to even down") << FieldGroup::Figure << 6.5 << 6.0 << true;
        QTest::newRow("figuresb half to even up") << FieldGroup::Figure << 7.5 << 8.0 << true;
        QTest::newRow("definizionisb clamped") << FieldGroup::Definizioni << 40000.0 << 32767.0 << true;
        QTest::newRow("aiutitot rounded") << FieldGroup::Aiuti << 4.6 << 5.0 << true;
        QTest::newRow("espositivitot double") << FieldGroup::Espositivi << 4.5 << 4.5 << false;
        QTest::newRow("genettetot double") << FieldGroup::Genette << 12.25 << 12.25 << false;
    }
    void sixteenBitTotals()
    {
        QFETCH(FieldGroup, group);
        QFETCH(double, total);
        QFETCH(double, stored);
        QFETCH(bool, whole);
        TestContext t;
        t.session.nomeStudente = QStringLiteral("GIALLI");
        QVERIFY(!saveGroup(t, group, 1.5, total, 10).isError());
        const QVariant v = rowOf(*t.db, QStringLiteral("GIALLI")).at(int(group) + 1);
        QCOMPARE(v.toDouble(), stored);
        QCOMPARE(v.typeId() == QMetaType::LongLong, whole);
        // The count is a double in every group.
        QCOMPARE(rowOf(*t.db, QStringLiteral("GIALLI")).at(int(group)).toDouble(), 1.5);
    }

    void twoCopiesOfTheProgramKeepOneRow()
    {
        TestContext t;
        DbError e;
        std::unique_ptr<Database> second = t.openAnother(&e);
        QVERIFY2(second, qPrintable(e.message));
        ResultsStore other(*second);
        t.session.nomeStudente = QStringLiteral("ROSSI");
        QVERIFY(!saveGroup(t, FieldGroup::Poesia, 1, 2, 50).isError());
        QVERIFY(!other.save(QStringLiteral("rossi"), {GroupValues{FieldGroup::Genette, 3, 4, 75, {}}}, kNow).isError());
        QCOMPARE(tabtestiRows(*t.db), 1);
        const QVector<QVariant> row = rowOf(*t.db, QStringLiteral("ROSSI"));
        QCOMPARE(row.at(6).toDouble(), 1.0);
        QCOMPARE(row.at(30).toDouble(), 3.0);
    }

    void failedSaveLeavesNoHalfRow_data()
    {
        QTest::addColumn<QString>("refused");
        // The engine refuses the edit after the insert went through: the
        // insert must go too, and no attempt is kept.
        QTest::newRow("the edit of tabtesti") << "BEFORE UPDATE ON tabtesti";
        // The history row refused: the row and its edit go with it.
        QTest::newRow("the history row") << "BEFORE INSERT ON tentativi";
    }
    void failedSaveLeavesNoHalfRow()
    {
        QFETCH(QString, refused);
        TestContext t;
        QVERIFY(refuseWrites(*t.db, refused));
        t.session.nomeStudente = QStringLiteral("NUOVO");
        const DbError e = saveGroup(t, FieldGroup::Espositivi, 1, 2, 50);
        QVERIFY(e.isError());
        QCOMPARE(tabtestiRows(*t.db), 0);
        QCOMPARE(test::tableRows(*t.db, QStringLiteral("tentativi")).size(), 0);
        QVERIFY(!t.db->inTransaction());
        // The program goes on: the next save of another group works once the
        // obstacle is gone.
        QVERIFY(allowWrites(*t.db));
        QVERIFY(!saveGroup(t, FieldGroup::Espositivi, 1, 2, 50).isError());
        QCOMPARE(tabtestiRows(*t.db), 1);
        QCOMPARE(test::tableRows(*t.db, QStringLiteral("tentativi")).size(), 1);
    }

    // Every save of a group leaves its row in the history; the saves of one
    // visit are running totals, the last of them is the visit's attempt.
    void visitsAndTheirAttempts()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        ActivityScreen screen(t.env(), QStringLiteral("FGenette"), QSize(12000, 9000), QColor(0, 64, 0),
                              QStringLiteral("Prova"), OnMenu::Hide);
        screen.setAttribute(Qt::WA_DontShowOnScreen);
        screen.show();
        const QString first = screen.visitId();
        QVERIFY(screen.saveAndReport(FieldGroup::Genette, Score{1, 1, 100}));
        QVERIFY(screen.saveAndReport(FieldGroup::Genette, Score{1, 2, 50}));
        // A look at the archive and back: the same visit.
        screen.exitToArchive();
        screen.hide();
        screen.show();
        QCOMPARE(screen.visitId(), first);
        QVERIFY(screen.saveAndReport(FieldGroup::Genette, Score{2, 3, 66}));
        // By the menu and in again: a new visit.
        screen.exitToMenu();
        screen.hide();
        screen.show();
        const QString second = screen.visitId();
        QVERIFY(second != first && second.size() == 32);
        QVERIFY(screen.saveAndReport({GroupValues{FieldGroup::Sequenze, 4, 5, 80, {}}, GroupValues{FieldGroup::Aiuti, 1, 5, 20, {}}}));

        const auto history = test::tableRows(*t.db, QStringLiteral("tentativi"));
        QCOMPARE(history.size(), 5);
        // codice, nome, gruppo, conteggio, totale, percentuale, data, momento, schermata, visita, computer
        QSet<QString> codes;
        const QString computer = QString::fromLatin1(test::bytesOf(t.dataDir() + QStringLiteral("/codice-computer.txt"))).trimmed();
        QCOMPARE(computer.size(), 32);
        for (const auto &row : history) {
            codes.insert(row.at(0).toString());
            QCOMPARE(row.at(1).toString(), QStringLiteral("ROSSI MARIO"));
            QCOMPARE(row.at(8).toString(), QStringLiteral("FGenette"));
            QCOMPARE(row.at(10).toString(), computer);
        }
        QCOMPARE(codes.size(), 5);
        QCOMPARE(history.at(0).at(9).toString(), first);
        QCOMPARE(history.at(2).at(9).toString(), first);
        // The first visit's attempt: its last row, as tabtesti held it then.
        QCOMPARE(history.at(2).at(2).toString(), QStringLiteral("genette"));
        QCOMPARE((QList<double>{history.at(2).at(3).toDouble(), history.at(2).at(4).toDouble(), history.at(2).at(5).toDouble()}),
                 (QList<double>{2, 3, 66}));
        QCOMPARE(Database::fromStoredDate(history.at(2).at(6)), QVariant(kNow));
        // The second visit: one save, two groups, two rows.
        QCOMPARE(history.at(3).at(9).toString(), second);
        QCOMPARE(history.at(4).at(9).toString(), second);
        QCOMPARE(history.at(3).at(2).toString(), QStringLiteral("sequenze"));
        QCOMPARE(history.at(4).at(2).toString(), QStringLiteral("aiuti"));
        QCOMPARE(history.at(4).at(6).toString(), QStringLiteral("(...)"));
        // tabtesti as ever: the latest values of each group.
        QCOMPARE(rowOf(*t.db, QStringLiteral("ROSSI MARIO")).at(31).toDouble(), 3.0);
    }

    void readOnlyFailureIsReportedInItalian()
    {
        TestContext t;
        QVERIFY(makeReadOnly(*t.db));
        t.session.nomeStudente = QStringLiteral("BLU");
        const DbError e = saveGroup(t, FieldGroup::Poesia, 1, 2, 50);
        QCOMPARE(e.number, DbErrorCode::ReadOnly);
        reportSaveFailure(t, e);
        QCOMPARE(t.dialogs.messages.size(), 1);
        const QString m = t.dialogs.messages.first();
        QVERIFY(m.startsWith(QStringLiteral("Il risultato non è stato salvato nell'archivio.")));
        QVERIFY2(m.contains(QStringLiteral("sola lettura")), qPrintable(m));
        QVERIFY2(m.contains(t.onServer() ? QStringLiteral("morvello_prove") : QStringLiteral("testi1.mdb")), qPrintable(m));
        QVERIFY(!t.ended);
        // Nothing to report, nothing said.
        reportSaveFailure(t, DbError{});
        QCOMPARE(t.dialogs.messages.size(), 1);
    }

    void closedDatabaseIsAnErrorNotACrash()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("CHIUSO");
        t.db->close();
        QCOMPARE(saveGroup(t, FieldGroup::Poesia, 1, 2, 50).number, DbErrorCode::NotOpen);
        QCOMPARE(registerNarrativeResult(t, 1, 2).number, DbErrorCode::NotOpen);
        DbError e;
        QVERIFY(allNames(*t.db, &e).isEmpty());
        QCOMPARE(e.number, DbErrorCode::NotOpen);
        QVERIFY(!lookupPupil(*t.db, QStringLiteral("CHIUSO"), &e));
        QCOMPARE(e.number, DbErrorCode::NotOpen);
    }

    void registrationsAppendRows()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("FERRARI GIULIA");
        QVERIFY(!registerNarrativeResult(t, 3, 4).isError());
        QVERIFY(!registerNarrativeResult(t, 5, 7).isError());
        const auto rows = test::tableRows(*t.db, QStringLiteral("studenti"));
        QCOMPARE(rows.size(), 2);
        const QList<QPair<double, double>> expected{{3, 4}, {5, 7}};
        for (int i = 0; i < rows.size(); ++i) {
            // nome, argomento, rispgiuste, rispsbagliate
            QCOMPARE(rows[i].at(0).toString(), QStringLiteral("FERRARI GIULIA"));
            QCOMPARE(rows[i].at(1).toString(), QStringLiteral("Testi narrativi"));
            QCOMPARE(rows[i].at(2).toDouble(), expected.at(i).first);
            QCOMPARE(rows[i].at(3).toDouble(), expected.at(i).second);
        }
        QCOMPARE(tabtestiRows(*t.db), 0); // registering is not saving
    }

    void lookupIgnoresCaseAndMissesCleanly()
    {
        TestContext t;
        t.session.nomeStudente = QStringLiteral("ÈLIA CONTI");
        QVERIFY(!saveGroup(t, FieldGroup::Poesia, 1, 2, 50).isError());
        DbError e;
        QVERIFY(lookupPupil(*t.db, QStringLiteral("Èlia conti"), &e));
        QVERIFY(!lookupPupil(*t.db, QStringLiteral("ELIA CONTI"), &e));
        QVERIFY(!e.isError());
        QVERIFY(!lookupPupil(*t.db, QString(), &e));
        QVERIFY(!e.isError());
    }

    void allNamesInTableOrder()
    {
        TestContext t;
        QCOMPARE(allNames(*t.db), QStringList());
        const QStringList names{QStringLiteral("ZANETTI"), QStringLiteral("Ospite"), QStringLiteral("ALBERTI"),
                                QStringLiteral("MORO")};
        for (const QString &n : names) {
            t.session.nomeStudente = n;
            QVERIFY(!saveGroup(t, FieldGroup::Genette, 1, 2, 50).isError());
        }
        t.session.nomeStudente = QStringLiteral("ospite"); // the same row again
        QVERIFY(!saveGroup(t, FieldGroup::Poesia, 1, 2, 50).isError());
        DbError e;
        QCOMPARE(allNames(*t.db, &e), names);
        QVERIFY(!e.isError());
    }
};

// The same cases on the file and on the lab server.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TstResultsStore tests;
    return runOnBothArchives(tests, argc, argv);
}
#include "tst_resultsstore.moc"
