// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register.h"
#include "register/registerimport.h"
#include "storage/database.h"
#include "registerview/flaggednamespane.h"
#include "registerview/palette.h"
#include "registerview/registerwindow.h"
#include "support_classroom.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

const char *const kPupils[] = {
    "ABATE LIA",        "BARONE MATTIA",   "BELLINI SOFIA",   "CANTÙ NICOLÒ",    "COLOMBO GIULIA",
    "CONTI LORENZO",    "COSTA AURORA",    "D'ANGELO SARA",   "DE LUCA TOMMASO", "ESPOSITO GINEVRA",
    "FABBRI LEONARDO",  "FERRARI ALICE",   "FONTANA RICCARDO", "GALLO EMMA",     "GRECO FRANCESCO",
    "LOMBARDI BEATRICE", "MANCINI ANDREA", "MARINO VITTORIA", "MORETTI EDOARDO", "PELLEGRINI MARTINA",
    "RICCI GABRIELE",   "RIZZO CHIARA",    "ROMANO ALESSANDRO", "RUSSO ANNA",    "SANTORO DIEGO",
    "SERRA ELISA",      "TESTA FEDERICO",  "VALENTINI NOEMI", "VILLA PIETRO",    "ZANETTI IRENE"};

// A term of a class of 30 on three computers: each pupil sits at the
// computer of their row and does each activity a few times, getting better.
std::unique_ptr<Register> makeClassOfThirty(const QTemporaryDir &dir)
{
    auto reg = Register::create(dir.filePath(QStringLiteral("2B.sqlite")), QStringLiteral("2B 2026-27"));
    if (!reg)
        return nullptr;
    const FieldGroup groups[] = {FieldGroup::Espositivi, FieldGroup::Poesia,       FieldGroup::Figure,
                                 FieldGroup::Definizioni, FieldGroup::Sequenze,    FieldGroup::Aiuti,
                                 FieldGroup::TipoSequenze, FieldGroup::Genette};
    const QDateTime term(QDate(2026, 9, 21), QTime(9, 0));
    for (int pc = 0; pc < 3; ++pc) {
        test::ClassroomComputer computer(dir.filePath(QStringLiteral("pc%1.mdb").arg(pc)), QStringLiteral("aula-pc%1").arg(pc + 1));
        for (int p = pc; p < 30; p += 3) {
            for (int g = 0; g < 8; ++g) {
                if ((p + g) % 7 == 0)
                    continue; // not every pupil did everything
                const int times = 1 + (p + g) % 4;
                for (int t = 0; t < times; ++t) {
                    const double total = 10;
                    const double right = std::min(10, 2 + (p * 3 + g * 5 + t * 2) % 9);
                    if (!computer.visit(QString::fromUtf8(kPupils[p]), groups[g],
                                        {{right - 1 > 0 ? right - 1 : 0, total, (right - 1 > 0 ? right - 1 : 0) * 10},
                                         {right, total, right * 10}},
                                        term.addDays(7 * t + g + p % 5)))
                        return nullptr;
                }
            }
        }
        const QString disk = dir.filePath(QStringLiteral("disk%1.mdb").arg(pc));
        if (!computer.exportTo(disk))
            return nullptr;
        computer.close();
        if (!importFile(*reg, disk, term.addMonths(3)).imported)
            return nullptr;
        if (pc == 1) {
            // A row typed with the typographic apostrophe, which this
            // computer's archive keeps apart and flags for the teacher.
            auto archive = Database::open(computer.archive());
            if (!archive || !archive->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"),
                                           {QString::fromUtf8("D\u2019ANGELO SARA")}))
                return nullptr;
            archive->close();
            if (!importFile(*reg, computer.archive(), term.addMonths(3)).imported)
                return nullptr;
        }
    }
    return reg;
}

} // namespace

class TstRegisterWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setupRegisterApplication();
        QVERIFY(m_class.isValid());
        std::unique_ptr<Register> reg = makeClassOfThirty(m_class);
        QVERIFY(reg);
        m_classFile = reg->path();
    }

private:
    QTemporaryDir m_class;
    QString m_classFile;

    // A copy of the class's register, made once for the whole case.
    std::unique_ptr<Register> classOfThirty(const QTemporaryDir &dir)
    {
        const QString copy = dir.filePath(QStringLiteral("copia.sqlite"));
        if (!QFile::copy(m_classFile, copy))
            return nullptr;
        return Register::open(copy);
    }

private slots:

    // Every shade of the scale, with the colour the number is printed in.
    void numbersReadableOnEveryShade_data()
    {
        QTest::addColumn<double>("percent");
        for (int p = 0; p <= 100; p += 5)
            QTest::newRow(qPrintable(QString::number(p))) << double(p);
        QTest::newRow("33.3") << 33.3;
        QTest::newRow("below 0") << -5.0;
        QTest::newRow("above 100") << 120.0;
    }
    void numbersReadableOnEveryShade()
    {
        QFETCH(double, percent);
        const QColor back = scaleColour(percent);
        QVERIFY2(contrastRatio(back, textOn(back)) >= 4.5, qPrintable(back.name()));
    }

    void scaleRunsFromDarkToLight()
    {
        QCOMPARE(scaleColour(0).name(), QStringLiteral("#440154"));
        QCOMPARE(scaleColour(100).name(), QStringLiteral("#fde725"));
        QVERIFY(contrastRatio(scaleColour(100), Qt::black) > contrastRatio(scaleColour(50), Qt::black));
    }

    void classViewAndScreenshots_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1280x1024") << QSize(1280, 1024);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }
    void classViewAndScreenshots()
    {
        QFETCH(QSize, size);
        QTemporaryDir dir;
        std::unique_ptr<Register> reg = classOfThirty(dir);
        QVERIFY(reg);
        RegisterWindow window;
        window.setRegister(std::move(reg));
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableView *view = window.classView();
        const QAbstractItemModel *model = view->model();
        QCOMPARE(model->rowCount(), 30);
        QCOMPARE(model->columnCount(), 9);
        const auto text = [model](int r, int c) { return model->index(r, c).data().toString(); };
        // Every cell with attempts prints its number, readable on its shade.
        int filled = 0;
        for (int r = 0; r < model->rowCount(); ++r) {
            for (int c = 1; c < model->columnCount(); ++c) {
                const QModelIndex cell = model->index(r, c);
                if (text(r, c).isEmpty())
                    continue;
                ++filled;
                QVERIFY(cell.data(Qt::ToolTipRole).toString().contains(QStringLiteral("Tentativi:")));
                QVERIFY(contrastRatio(cell.data(Qt::BackgroundRole).value<QColor>(),
                                      cell.data(Qt::ForegroundRole).value<QColor>())
                        >= 4.5);
            }
        }
        QVERIFY(filled > 180);
        // No title and no name is cut short.
        for (int c = 0; c < model->columnCount(); ++c)
            QVERIFY2(view->horizontalHeader()->sectionSizeHint(c) <= view->columnWidth(c),
                     qPrintable(text(0, c)));
        for (int r = 0; r < model->rowCount(); ++r)
            QVERIFY2(view->fontMetrics().horizontalAdvance(text(r, 0)) < view->columnWidth(0), qPrintable(text(r, 0)));
        // A pupil chosen shows their attempts.
        view->selectRow(3);
        QVERIFY(window.attemptsView()->rowCount() > 0);
        // Sorted by a group either way, the numbers come in order and the
        // pupils who never did it last.
        for (const Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
            view->sortByColumn(8, order);
            const double sign = order == Qt::DescendingOrder ? -1 : 1;
            double previous = -1000;
            bool empties = false;
            for (int r = 0; r < model->rowCount(); ++r) {
                if (text(r, 8).isEmpty()) {
                    empties = true;
                    continue;
                }
                QVERIFY2(!empties, qPrintable(text(r, 0)));
                const double v = sign * QLocale(QLocale::Italian).toDouble(text(r, 8));
                QVERIFY2(v >= previous, qPrintable(text(r, 8)));
                previous = v;
            }
            QVERIFY(empties);
        }
        view->sortByColumn(0, Qt::AscendingOrder);
        view->selectRow(0);

        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), size);
        QString folder = qEnvironmentVariable("MORVELLO_SHOTS_DIR");
        if (folder.isEmpty())
            folder = dir.path();
        QVERIFY(shot.save(QDir(folder).filePath(QStringLiteral("registro-%1.png").arg(QTest::currentDataTag()))));
    }

    void periodLeavesOtherAttemptsOut()
    {
        QTemporaryDir dir;
        std::unique_ptr<Register> reg = classOfThirty(dir);
        QVERIFY(reg);
        RegisterWindow window;
        window.setRegister(std::move(reg));
        auto filledCells = [&] {
            const QAbstractItemModel *model = window.classView()->model();
            int n = 0;
            for (int r = 0; r < model->rowCount(); ++r)
                for (int c = 1; c < model->columnCount(); ++c)
                    n += model->index(r, c).data().toString().isEmpty() ? 0 : 1;
            return n;
        };
        const int all = filledCells();
        window.setPeriod(QDate(2027, 1, 1), QDate(2027, 6, 30));
        QCOMPARE(filledCells(), 0);
        window.setPeriod(QDate(2026, 9, 1), QDate(2026, 12, 31));
        QCOMPARE(filledCells(), all);
    }

    // A group of flagged names counted as two pupils is listed with the
    // join, and joined from the list the class has one pupil fewer.
    void flaggedNamesBesideTheJoin()
    {
        QTemporaryDir dir;
        std::unique_ptr<Register> reg = classOfThirty(dir);
        QVERIFY(reg);
        test::ClassroomComputer pc(dir.filePath(QStringLiteral("pc9.mdb")), QStringLiteral("aula-pc9"));
        QVERIFY(pc.visit(QStringLiteral("DELUCA TOMMASO"), FieldGroup::Poesia, {{3, 5, 60}}, QDateTime(QDate(2026, 10, 2), QTime(9, 0))));
        pc.close();
        QVERIFY(importFile(*reg, pc.archive(), QDateTime::currentDateTime()).imported);
        QVERIFY(reg->database().exec(QStringLiteral("INSERT INTO nomi_segnalati (nomi, file) VALUES (?, ?)"),
                                     {QStringLiteral("DE LUCA TOMMASO") + QChar(0x1f) + QStringLiteral("DELUCA TOMMASO"),
                                      pc.archive()}));
        RegisterWindow window;
        window.setRegister(std::move(reg));
        QCOMPARE(window.classView()->model()->rowCount(), 31);
        FlaggedNamesPane *pane = window.flaggedNamesPane();
        // The class's own flagged apostrophe first, counted as one pupil.
        QCOMPARE(pane->groups().size(), 2);
        QCOMPARE(pane->groups().at(0).pupils.size(), 1);
        QCOMPARE(pane->groups().at(1).pupils.size(), 2);
        DbError error;
        QVERIFY2(pane->joinGroup(1, 0, &error), qPrintable(error.message));
        QCOMPARE(window.classView()->model()->rowCount(), 30);
        QCOMPARE(pane->groups().at(1).pupils.size(), 1);
    }

    void refusedFilesAreNamedInTheSummary()
    {
        QTemporaryDir dir;
        auto reg = Register::create(dir.filePath(QStringLiteral("r.sqlite")), QStringLiteral("1A"));
        QVERIFY(reg);
        RegisterWindow window;
        window.setRegister(std::move(reg));
        const QString bad = dir.filePath(QStringLiteral("elenco.mdb"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("non sono un archivio");
        f.close();
        const QString summary = window.importFiles({bad}, false);
        QVERIFY2(summary.contains(QDir::toNativeSeparators(bad)), qPrintable(summary));
        QVERIFY(summary.contains(QStringLiteral("File importati: 0")));
    }
};

QTEST_MAIN(TstRegisterWindow)
#include "tst_registerwindow.moc"
