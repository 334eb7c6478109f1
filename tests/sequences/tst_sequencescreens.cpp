#include "platform/labels.h"
#include "platform/numeric.h"
#include "results/openresults.h"
#include "results/resultsstore.h"
#include "sequences/sequencescreen.h"
#include "sequences/sequencescreens.h"
#include "shell/chiedinome.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDropEvent>
#include <QFrame>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

using namespace morvello;
using morvello::test::TestContext;

namespace {

// The menu belongs to the shell; a bare screen stands in for it here.
class MenuStandIn : public Screen
{
public:
    explicit MenuStandIn(AppContext &ctx)
        : Screen(ctx, ScreenName::Menu, QSize(11880, 8490), Qt::darkGray, QStringLiteral("Menu"))
    {
    }
};

struct Fixture {
    TestContext tc;
    Fixture()
    {
        tc.ctx.askName = [](AppContext &c) { ChiediNome(c); };
        tc.navigator->registerScreen(ScreenName::Menu, [](AppContext &c) { return new MenuStandIn(c); });
        registerResultsScreens(*tc.navigator);
        registerSequenceScreens(*tc.navigator);
    }
    SequenceScreen *show(const QString &name)
    {
        return qobject_cast<SequenceScreen *>(tc.navigator->show(name));
    }
    void flushUnloads() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

QString wrongTypeFor(const SequenceExercise &ex, int k)
{
    for (const QString &t : ex.types())
        if (t != ex.soluzione(k))
            return t;
    return QString();
}

// Drops the right type on every box except the given rows, through the
// screen's own handler.
void fillBoard(SequenceScreen *s, const QList<int> &wrongRows = {})
{
    const SequenceExercise &ex = s->exercise();
    for (int i = 0; i < ex.numSequenze(); ++i)
        s->Label7_DragDrop(i, nullptr, wrongRows.contains(i) ? wrongTypeFor(ex, i + 1) : ex.soluzione(i + 1));
}

// Picks the chooser entry as the pupil does: the list's activation.
void choose(SequenceScreen *s, int text)
{
    QComboBox *combo = s->chooser();
    combo->setCurrentIndex(text - 1);
    emit combo->activated(text - 1);
}

// Checks a passage with `right` right answers.
void checkText(SequenceScreen *s, int text, int right)
{
    choose(s, text);
    QList<int> wrong;
    for (int i = right; i < s->exercise().numSequenze(); ++i)
        wrong << i;
    fillBoard(s, wrong);
    s->checkButton()->click();
}

QVector<QVariant> pupilRow(TestContext &tc, const QString &name)
{
    const auto row = lookupPupil(*tc.db, name);
    return row ? *row : QVector<QVariant>();
}

QList<QVariantList> studentiRows(TestContext &tc)
{
    QList<QVariantList> out;
    auto rs = tc.db->openRecordset(QStringLiteral("studenti"));
    if (!rs)
        return out;
    while (!rs->eof()) {
        out << QVariantList{rs->value(QStringLiteral("nome")), rs->value(QStringLiteral("argomento")),
                            rs->value(QStringLiteral("rispgiuste")), rs->value(QStringLiteral("rispsbagliate"))};
        rs->moveNext();
    }
    return out;
}

} // namespace

class TestSequenceScreens : public QObject
{
    Q_OBJECT

private slots:
    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void screensAsDesigned_data();
    void screensAsDesigned();
    void loadState_data();
    void loadState();
    void rowsFollowTheExercise();
    void realDropEventSetsCaption_data();
    void realDropEventSetsCaption();
    void pickAndPlaceWithKeyboard();
    void pickAndPlaceWithClicks();
    void emptyBoxGivesMessageOnly();
    void checkColoursAndSaves_data();
    void checkColoursAndSaves();
    void emptyNameSavesNothing();
    void saveFailureIsReportedAndWorkGoesOn();
    void registerStoresRunningCounts_data();
    void registerStoresRunningCounts();
    void registerWithEmptyNameWritesNothing();
    void nameTypedAtRegisterKeysLaterSaves();
    void menuUnloadsAndCountersRestart_data();
    void menuUnloadsAndCountersRestart();
    void archiveHidesAndReturns_data();
    void archiveHidesAndReturns();
    void escoClosesAndEnds();
};

void TestSequenceScreens::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    const QString E = ScreenName::Espositivo;
    const QString S = ScreenName::Sequenze;
    QTest::newRow("E Label14") << E << "Label14" << QRect(240, 5160, 1935, 375) << "Ipotizza";
    QTest::newRow("E Label15") << E << "Label15" << QRect(240, 5520, 1935, 375) << "Richiama";
    QTest::newRow("E Label19") << E << "Label19" << QRect(2160, 5160, 1935, 375) << "Esemplifica";
    QTest::newRow("E Label13") << E << "Label13" << QRect(2160, 5520, 1935, 375) << "Definisce";
    QTest::newRow("E Label10") << E << "Label10" << QRect(4080, 5160, 1575, 735) << "Pone il problema";
    QTest::newRow("E Label9") << E << "Label9" << QRect(5640, 5160, 1695, 735) << "Illustra una conseguenza";
    QTest::newRow("E Label17") << E << "Label17" << QRect(7320, 5160, 2175, 735)
                               << "Informa racconta descrive confronta";
    QTest::newRow("E Label16") << E << "Label16" << QRect(9480, 5160, 2175, 735)
                               << "Spiega la causa conclude dà soluzione";
    QTest::newRow("E Label21") << E << "Label21" << QRect(240, 6600, 7095, 975)
                               << "Quali funzioni comunicative svolgono le sequenze colorate? Trovale e trascina le "
                                  "funzioni viola nelle caselline colorate a destra del testo.";
    QTest::newRow("E labedizione") << E << "labedizione" << QRect(240, 6240, 7215, 255) << "Testo proprio";
    QTest::newRow("E Combo1") << E << "Combo1" << QRect(7440, 4680, 2295, 315) << QString();
    QTest::newRow("E cmdrisult") << E << "cmdrisult" << QRect(9720, 4680, 1935, 375) << "RISULTATO";
    QTest::newRow("E Label4") << E << "Label4" << QRect(7560, 6000, 1575, 255) << "Attuale          su";
    QTest::newRow("E Label2") << E << "Label2" << QRect(8160, 6000, 375, 255) << "0";
    QTest::newRow("E Label3") << E << "Label3" << QRect(9000, 6000, 375, 255) << "0";
    QTest::newRow("E Label5") << E << "Label5" << QRect(7440, 6240, 1695, 255) << "  Totale           su";
    QTest::newRow("E Label6") << E << "Label6" << QRect(8160, 6240, 375, 255) << "0";
    QTest::newRow("E Label8") << E << "Label8" << QRect(9000, 6240, 375, 255) << "0";
    QTest::newRow("E CmdMenù") << E << "CmdMenù" << QRect(7560, 6600, 4095, 485) << "MENU'";
    QTest::newRow("E CmdArchivio") << E << "CmdArchivio" << QRect(7560, 7080, 2175, 495) << "Archivio dei risultati";
    QTest::newRow("E cmdfine") << E << "cmdfine" << QRect(9720, 7080, 1935, 495) << "Esco";
    QTest::newRow("E Label7(0)") << E << "Label7(0)" << QRect(7440, 120, 2295, 375) << QString();

    QTest::newRow("S Label14") << S << "Label14" << QRect(960, 5400, 2055, 375) << "Riflessiva";
    QTest::newRow("S Label13") << S << "Label13" << QRect(3120, 5400, 2055, 375) << "Dialogica";
    QTest::newRow("S Label12") << S << "Label12" << QRect(5280, 5400, 2055, 375) << "Descrittiva";
    QTest::newRow("S Label11") << S << "Label11" << QRect(7440, 5400, 2055, 375) << "Narrativa";
    QTest::newRow("S Label9") << S << "Label9" << QRect(240, 6480, 7095, 1095)
                              << "Il testo è diviso in sequenze narrative, descrittive, riflessive o dialogiche. "
                                 "Riconoscile e trascina le caselle azzurre su quelle colorate a destra del testo.";
    QTest::newRow("S Combo1") << S << "Combo1" << QRect(5280, 5880, 2055, 315) << QString();
    QTest::newRow("S cmdrisult") << S << "cmdrisult" << QRect(9720, 5280, 1935, 495) << "RISULTATO";
    QTest::newRow("S Label4") << S << "Label4" << QRect(9720, 5880, 1455, 255) << "Attuale         su";
    QTest::newRow("S Label2") << S << "Label2" << QRect(10440, 5880, 375, 255) << "0";
    QTest::newRow("S Label3") << S << "Label3" << QRect(11280, 5880, 375, 255) << "0";
    QTest::newRow("S Label5") << S << "Label5" << QRect(9600, 6120, 1815, 255) << "  Totale          su";
    QTest::newRow("S Label6") << S << "Label6" << QRect(10440, 6120, 375, 255) << "0";
    QTest::newRow("S Label8") << S << "Label8" << QRect(11280, 6120, 375, 255) << "0";
    QTest::newRow("S CMDREGISTRO") << S << "CMDREGISTRO" << QRect(7440, 6480, 2055, 495) << "Registro il risultato";
    QTest::newRow("S CmdMenù") << S << "CmdMenù" << QRect(9720, 6480, 1935, 495) << "MENU'";
    QTest::newRow("S cmdarchiv") << S << "cmdarchiv" << QRect(7440, 7080, 2055, 495) << "Archivio dei risultati";
    QTest::newRow("S cmdfine") << S << "cmdfine" << QRect(9720, 7080, 1935, 495) << "Esco";
    QTest::newRow("S Label7(0)") << S << "Label7(0)" << QRect(7440, 120, 2055, 375) << QString();
}

void TestSequenceScreens::controlsAsDesigned()
{
    QFETCH(QString, screen);
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    Fixture f;
    SequenceScreen *s = f.show(screen);
    QVERIFY(s);
    auto *w = s->findChild<QWidget *>(control);
    QVERIFY2(w, qPrintable(control));
    QCOMPARE(s->designGeometry(w), geometry);
    QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(control));
    if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    else if (auto *button = qobject_cast<QPushButton *>(w))
        QCOMPARE(button->text(), text);
}

void TestSequenceScreens::screensAsDesigned_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("typeColour");
    QTest::addColumn<QString>("answerArray");
    QTest::addColumn<bool>("answerBordered");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QColor>("sourceColour");

    QTest::newRow("Fespositivo") << ScreenName::Espositivo << "TESTO ESPOSITIVO" << QColor(0x80, 0x80, 0x80)
                                 << QColor(0xFF, 0x00, 0xFF) << "Label18" << true << "Scegli un testo"
                                 << QColor(Qt::white);
    QTest::newRow("Fsequenze") << ScreenName::Sequenze << "Testo NARRATIVO " << QColor(0, 0, 0)
                               << QColor(0x80, 0x80, 0xFF) << "Label10" << false << "Scegli il testo..."
                               << QColor(0xFF, 0xC0, 0xC0);
}

void TestSequenceScreens::screensAsDesigned()
{
    QFETCH(QString, screen);
    QFETCH(QString, caption);
    QFETCH(QColor, background);
    QFETCH(QColor, typeColour);
    QFETCH(QString, answerArray);
    QFETCH(bool, answerBordered);
    QFETCH(QString, prompt);
    QFETCH(QColor, sourceColour);

    Fixture f;
    SequenceScreen *s = f.show(screen);
    QVERIFY(s);
    QCOMPARE(s->windowTitle(), caption);
    QCOMPARE(s->backgroundColor(), background);
    QCOMPARE(s->designSize(), QSize(11880, 8490));
    QCOMPARE(s->chooser()->placeholderText(), prompt);
    QCOMPARE(s->sourceLabel()->textColor(), sourceColour);

    // Every answer of the catalogue can be dropped from some type label.
    QStringList captions;
    for (DragLabel *t : s->typeLabels()) {
        QCOMPARE(t->backgroundColor(), typeColour);
        QCOMPARE(t->textColor(), QColor(Qt::white));
        QVERIFY(t->isBordered());
        QVERIFY(t->font().bold());
        captions << t->text();
    }
    QStringList vocabulary = s->exercise().types();
    captions.sort();
    vocabulary.sort();
    QCOMPARE(captions, vocabulary);

    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        const QColor row = sequenceRowColor(i);
        auto *text = s->findChild<StyledLabel *>(QStringLiteral("Label1(%1)").arg(i));
        auto *box = s->findChild<DropLabel *>(QStringLiteral("Label7(%1)").arg(i));
        auto *answer = s->findChild<StyledLabel *>(QStringLiteral("%1(%2)").arg(answerArray).arg(i));
        QVERIFY(text && box && answer);
        QCOMPARE(text->backgroundColor(), row);
        QCOMPARE(box->backgroundColor(), row);
        QCOMPARE(answer->backgroundColor(), row);
        QVERIFY(!text->isBordered());
        QVERIFY(box->isBordered());
        QCOMPARE(answer->isBordered(), answerBordered);
    }
    QCOMPARE(sequenceRowColor(5), QColor(0xFF, 0xC0, 0xFF));
    QCOMPARE(s->registerButton() != nullptr, screen == ScreenName::Sequenze);
}

void TestSequenceScreens::loadState_data()
{
    QTest::addColumn<QString>("screen");
    QTest::newRow("Fespositivo") << ScreenName::Espositivo;
    QTest::newRow("Fsequenze") << ScreenName::Sequenze;
}

void TestSequenceScreens::loadState()
{
    QFETCH(QString, screen);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    QVERIFY(s);
    QCOMPARE(s->chooser()->count(), 8);
    QCOMPARE(s->chooser()->currentIndex(), -1);
    QVERIFY(s->checkButton()->isEnabled());
    for (int n : {2, 3, 6, 8})
        QCOMPARE(s->counter(n)->text(), QStringLiteral("0"));
    const int rows = s->exercise().numSequenze();
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        QCOMPARE(s->textLabel(i)->isVisible(), i < rows);
        QCOMPARE(s->dropBox(i)->isVisible(), i < rows);
        QVERIFY(!s->answerLabel(i)->isVisible());
    }
    QCOMPARE(s->textLabel(0)->text(), s->exercise().testoSequenza(1));
    QCOMPARE(s->dropBox(0)->accessibleName(), QStringLiteral("Sequenza 1: vuota"));
    if (s->registerButton())
        QVERIFY(s->registerButton()->isEnabled());
}

void TestSequenceScreens::rowsFollowTheExercise()
{
    Fixture f;
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    choose(s, 8);
    const SequenceExercise &ex = s->exercise();
    QCOMPARE(ex.numSequenze(), 6);
    for (int i = 0; i < 6; ++i) {
        const QRect text = s->designGeometry(s->textLabel(i));
        QCOMPARE(text, QRect(240, ex.rowTop(i), 7095, ex.rowHeightAt(i)));
        QCOMPARE(s->designGeometry(s->dropBox(i)).top(), text.top());
        QCOMPARE(s->designGeometry(s->answerLabel(i)).top(), text.top());
        if (i > 0) {
            const QRect above = s->designGeometry(s->textLabel(i - 1));
            QCOMPARE(text.top(), above.top() + above.height());
        }
    }
    QCOMPARE(s->designGeometry(s->textLabel(0)).top(), 120);
    choose(s, 3);
    QVERIFY(!s->textLabel(4)->isVisible());
    QVERIFY(!s->dropBox(4)->isVisible());
    QVERIFY(!s->dropBox(5)->isVisible());
}

void TestSequenceScreens::realDropEventSetsCaption_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("row");
    QTest::newRow("Fespositivo row 0") << ScreenName::Espositivo << 0;
    QTest::newRow("Fespositivo row 3") << ScreenName::Espositivo << 3;
    QTest::newRow("Fsequenze row 4") << ScreenName::Sequenze << 4;
}

void TestSequenceScreens::realDropEventSetsCaption()
{
    QFETCH(QString, screen);
    QFETCH(int, row);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    DropLabel *box = s->dropBox(row);
    QVERIFY(box->isVisible());
    const QPointF at = box->rect().center();

    auto dropOn = [&](const QString &caption, const QString &format) {
        QMimeData mime;
        mime.setData(format, caption.toUtf8());
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        return drop.isAccepted();
    };

    const QStringList types = s->exercise().types();
    QVERIFY(dropOn(types[0], DragLabel::mimeType()));
    QCOMPARE(box->text(), types[0]);
    QCOMPARE(s->exercise().dropCaption(row), types[0]);
    // A second drop replaces the first.
    QVERIFY(dropOn(types[1], DragLabel::mimeType()));
    QCOMPARE(box->text(), types[1]);
    QCOMPARE(box->accessibleName(), QStringLiteral("Sequenza %1: %2").arg(row + 1).arg(types[1]));
    // Text dragged in from elsewhere is not a type.
    dropOn(QStringLiteral("altro"), QStringLiteral("text/plain"));
    QCOMPARE(box->text(), types[1]);
}

void TestSequenceScreens::pickAndPlaceWithKeyboard()
{
    Fixture f;
    SequenceScreen *s = f.show(ScreenName::Espositivo);
    QApplication::setActiveWindow(s);
    DragLabel *type = s->typeLabels().at(2);
    auto *frame = s->findChild<QFrame *>(QStringLiteral("pickFrame"));
    QVERIFY(frame);

    // Tab reaches the type labels and the boxes.
    QCOMPARE(type->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    QCOMPARE(s->dropBox(0)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);

    type->setFocus();
    QTest::keyClick(type, Qt::Key_Space);
    QCOMPARE(s->pickedType(), type);
    QVERIFY(type->isPicked());
    QVERIFY(frame->isVisible());
    QVERIFY(frame->geometry().contains(type->geometry()));

    QTest::keyClick(s->dropBox(1), Qt::Key_Return);
    QCOMPARE(s->dropBox(1)->text(), type->text());
    QCOMPARE(s->pickedType(), nullptr);
    QVERIFY(!type->isPicked());
    QVERIFY(!frame->isVisible());

    // Picking twice puts the label down again; a box then takes nothing.
    QTest::keyClick(type, Qt::Key_Enter);
    QTest::keyClick(type, Qt::Key_Enter);
    QCOMPARE(s->pickedType(), nullptr);
    QTest::keyClick(s->dropBox(2), Qt::Key_Space);
    QVERIFY(s->dropBox(2)->text().isEmpty());

    // Picking another label moves the highlight to it.
    DragLabel *other = s->typeLabels().at(5);
    QTest::keyClick(type, Qt::Key_Space);
    QTest::keyClick(other, Qt::Key_Space);
    QCOMPARE(s->pickedType(), other);
    QVERIFY(!type->isPicked());
}

void TestSequenceScreens::pickAndPlaceWithClicks()
{
    Fixture f;
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    QApplication::setActiveWindow(s);
    QVERIFY(QTest::qWaitForWindowExposed(s));
    DragLabel *type = s->typeLabels().at(1);

    // The press starts a drag at once; released on the label itself, without
    // a move, it ends without a drop and counts as a click.
    QTimer::singleShot(50, type, [type] { QTest::mouseRelease(type, Qt::LeftButton, {}, type->rect().center()); });
    QCursor::setPos(type->mapToGlobal(type->rect().center()));
    QTest::mousePress(type, Qt::LeftButton, {}, type->rect().center());
    QTRY_COMPARE(s->pickedType(), type);

    QTest::mouseClick(s->dropBox(3), Qt::LeftButton, {}, s->dropBox(3)->rect().center());
    QCOMPARE(s->dropBox(3)->text(), type->text());
    QCOMPARE(s->exercise().dropCaption(3), type->text());
}

void TestSequenceScreens::emptyBoxGivesMessageOnly()
{
    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("ROSSI MARIO");
    SequenceScreen *s = f.show(ScreenName::Espositivo);
    choose(s, 2);
    for (int i = 0; i < 6; ++i)
        s->Label7_DragDrop(i, nullptr, s->exercise().soluzione(i + 1));
    // An empty caption is no drop; a fresh choice of the same passage empties
    // the board, which is then refilled except for the last box.
    s->Label7_DragDrop(2, nullptr, QString());
    QVERIFY(!s->dropBox(2)->text().isEmpty());
    choose(s, 2);
    for (int i = 0; i < 5; ++i)
        s->Label7_DragDrop(i, nullptr, s->exercise().soluzione(i + 1));

    s->checkButton()->click();
    QCOMPARE(f.tc.dialogs.messages, QStringList{QStringLiteral("Devi completare la risposta...")});
    QVERIFY(s->checkButton()->isEnabled());
    QCOMPARE(s->counter(6)->text(), QStringLiteral("0"));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(s->dropBox(i)->backgroundColor(), sequenceRowColor(i));
        QVERIFY(!s->answerLabel(i)->isVisible());
    }
    QVERIFY(pupilRow(f.tc, QStringLiteral("ROSSI MARIO")).isEmpty());
}

void TestSequenceScreens::checkColoursAndSaves_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("firstText");
    QTest::addColumn<int>("secondText");
    QTest::addColumn<int>("column"); // first column of the field group

    // Both visits: 3 right of 4, then 5 right of 6.
    QTest::newRow("Fespositivo") << ScreenName::Espositivo << 1 << 2 << int(FieldGroup::Espositivi);
    QTest::newRow("Fsequenze") << ScreenName::Sequenze << 3 << 8 << int(FieldGroup::TipoSequenze);
}

void TestSequenceScreens::checkColoursAndSaves()
{
    QFETCH(QString, screen);
    QFETCH(int, firstText);
    QFETCH(int, secondText);
    QFETCH(int, column);

    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("BIANCHI ANNA");
    SequenceScreen *s = f.show(screen);

    choose(s, firstText);
    QCOMPARE(s->exercise().numSequenze(), 4);
    fillBoard(s, {1});
    s->checkButton()->click();
    QVERIFY(!s->checkButton()->isEnabled());
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(s->dropBox(i)->backgroundColor(), i == 1 ? red() : sequenceRowColor(i));
        QVERIFY(s->answerLabel(i)->isVisible());
        QCOMPARE(s->answerLabel(i)->text(), s->exercise().soluzione(i + 1));
    }
    QCOMPARE(s->dropBox(1)->accessibleName().endsWith(QStringLiteral("(sbagliata)")), true);
    QCOMPARE(s->counter(2)->text(), QStringLiteral("3"));
    QCOMPARE(s->counter(3)->text(), QStringLiteral("4"));
    QVector<QVariant> row = pupilRow(f.tc, QStringLiteral("BIANCHI ANNA"));
    QCOMPARE(row.size(), 34);
    QCOMPARE(row[column].toDouble(), 3.0);
    QCOMPARE(row[column + 1].toDouble(), 4.0);
    QCOMPARE(row[column + 2].toInt(), 75);

    choose(s, secondText);
    QCOMPARE(s->counter(2)->text(), QString());
    QCOMPARE(s->counter(3)->text(), QString());
    QCOMPARE(s->counter(6)->text(), QStringLiteral("3"));
    QVERIFY(s->checkButton()->isEnabled());
    QCOMPARE(s->dropBox(1)->backgroundColor(), sequenceRowColor(1));
    QVERIFY(!s->answerLabel(0)->isVisible());

    QCOMPARE(s->exercise().numSequenze(), 6);
    fillBoard(s, {5});
    s->checkButton()->click();
    QCOMPARE(s->counter(6)->text(), QStringLiteral("8"));
    QCOMPARE(s->counter(8)->text(), QStringLiteral("10"));

    row = pupilRow(f.tc, QStringLiteral("BIANCHI ANNA"));
    QCOMPARE(row[column].toDouble(), 8.0);
    QCOMPARE(row[column + 1].toDouble(), 10.0);
    QCOMPARE(row[column + 2].toInt(), 80);
    QCOMPARE(row[column + 3].toDateTime(), f.tc.clock.now());
    // The other screen's group is untouched.
    const int other = column == int(FieldGroup::Espositivi) ? int(FieldGroup::TipoSequenze)
                                                           : int(FieldGroup::Espositivi);
    QVERIFY(row[other].isNull());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TestSequenceScreens::emptyNameSavesNothing()
{
    Fixture f;
    f.tc.ctx.nomeStudente.clear();
    SequenceScreen *s = f.show(ScreenName::Espositivo);
    fillBoard(s, {0});
    s->checkButton()->click();
    // The check shows, nothing is written and nobody is told.
    QCOMPARE(s->counter(2)->text(), QString::number(s->exercise().numSequenze() - 1));
    QVERIFY(allNames(*f.tc.db).isEmpty());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TestSequenceScreens::saveFailureIsReportedAndWorkGoesOn()
{
    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("VERDI LUCA");
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    fillBoard(s);
    f.tc.db->close();
    s->checkButton()->click();
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY(!f.tc.dialogs.messages.first().isEmpty());
    QCOMPARE(s->counter(6)->text(), QString::number(s->exercise().numSequenze()));
    // The screen carries on: the next passage can be done.
    choose(s, 2);
    fillBoard(s);
    QCOMPARE(s->exercise().dropCaption(0), s->exercise().soluzione(1));
}

void TestSequenceScreens::registerStoresRunningCounts_data()
{
    QTest::addColumn<QList<int>>("texts");
    QTest::addColumn<QList<int>>("rights");
    QTest::addColumn<double>("right");
    QTest::addColumn<double>("total");

    QTest::newRow("before any check") << QList<int>{} << QList<int>{} << 0.0 << 0.0;
    // Text 1 has five sequences, text 8 six.
    QTest::newRow("3 of 5 then 4 of 6") << QList<int>{1, 8} << QList<int>{3, 4} << 7.0 << 11.0;
}

void TestSequenceScreens::registerStoresRunningCounts()
{
    QFETCH(QList<int>, texts);
    QFETCH(QList<int>, rights);
    QFETCH(double, right);
    QFETCH(double, total);

    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("NERI PAOLO");
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    for (int i = 0; i < texts.size(); ++i)
        checkText(s, texts[i], rights[i]);

    f.tc.dialogs.queueAnswer(QStringLiteral("  neri   paolo "));
    s->registerButton()->click();
    QVERIFY(!s->registerButton()->isEnabled());
    QCOMPARE(f.tc.dialogs.prompts.size(), 1);
    QList<QVariantList> rows = studentiRows(f.tc);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("NERI PAOLO"));
    QCOMPARE(rows[0][1].toString(), QStringLiteral("Testi narrativi"));
    QCOMPARE(rows[0][2].toDouble(), right);
    QCOMPARE(rows[0][3].toDouble(), total);

    // Once a visit: the disabled command does nothing, even called directly.
    s->CMDREGISTRO_Click();
    QCOMPARE(studentiRows(f.tc).size(), 1);
    QCOMPARE(f.tc.dialogs.prompts.size(), 1);

    // Hidden for the results screen and back: still used up.
    s->CmdArchivio_Click();
    f.tc.navigator->showCaller(f.tc.ctx.formChiamante);
    QVERIFY(!s->registerButton()->isEnabled());

    // A new visit may register again; every use appends.
    s->CmdMenu_Click();
    f.flushUnloads();
    s = f.show(ScreenName::Sequenze);
    QVERIFY(s->registerButton()->isEnabled());
    f.tc.dialogs.queueAnswer(QStringLiteral("Neri Paolo"));
    s->registerButton()->click();
    rows = studentiRows(f.tc);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1][2].toDouble(), 0.0);
    QCOMPARE(rows[1][3].toDouble(), 0.0);
}

void TestSequenceScreens::registerWithEmptyNameWritesNothing()
{
    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("NERI PAOLO");
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    checkText(s, 2, 5);
    f.tc.dialogs.queueAnswer(QStringLiteral("   "));
    s->registerButton()->click();
    QVERIFY(f.tc.ctx.nomeStudente.isEmpty());
    QVERIFY(!s->registerButton()->isEnabled());
    QVERIFY(studentiRows(f.tc).isEmpty());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TestSequenceScreens::nameTypedAtRegisterKeysLaterSaves()
{
    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("ROSSI MARIO");
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    checkText(s, 1, 5);
    f.tc.dialogs.queueAnswer(QStringLiteral("Gialli Sara"));
    s->registerButton()->click();
    QCOMPARE(f.tc.ctx.nomeStudente, QStringLiteral("GIALLI SARA"));
    checkText(s, 3, 2);
    const QVector<QVariant> sara = pupilRow(f.tc, QStringLiteral("GIALLI SARA"));
    QCOMPARE(sara.value(int(FieldGroup::TipoSequenze)).toDouble(), 7.0);
    QCOMPARE(sara.value(int(FieldGroup::TipoSequenze) + 1).toDouble(), 9.0);
    // The register itself did not touch tabtesti.
    QCOMPARE(pupilRow(f.tc, QStringLiteral("ROSSI MARIO")).value(int(FieldGroup::TipoSequenze)).toDouble(), 5.0);
}

void TestSequenceScreens::menuUnloadsAndCountersRestart_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("fromTitleBar");
    QTest::newRow("Fespositivo MENU'") << ScreenName::Espositivo << false;
    QTest::newRow("Fsequenze MENU'") << ScreenName::Sequenze << false;
    QTest::newRow("Fespositivo title bar") << ScreenName::Espositivo << true;
    QTest::newRow("Fsequenze title bar") << ScreenName::Sequenze << true;
}

void TestSequenceScreens::menuUnloadsAndCountersRestart()
{
    QFETCH(QString, screen);
    QFETCH(bool, fromTitleBar);
    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("BLU ELSA");
    SequenceScreen *s = f.show(screen);
    checkText(s, 2, 3);
    QVERIFY(s->counter(6)->text() != QLatin1String("0"));

    QPointer<SequenceScreen> old = s;
    if (fromTitleBar)
        s->close();
    else
        s->findChild<QPushButton *>(QStringLiteral("CmdMenù"))->click();
    QVERIFY(f.tc.navigator->screen(ScreenName::Menu)->isVisible());
    QVERIFY(!f.tc.navigator->isLoaded(screen));
    f.flushUnloads();
    QVERIFY(old.isNull());

    s = f.show(screen);
    for (int n : {2, 3, 6, 8})
        QCOMPARE(s->counter(n)->text(), QStringLiteral("0"));
    QCOMPARE(s->exercise().testoScelto(), 1);
    // The first check of the new visit replaces the stored totals.
    checkText(s, 1, 1);
    const int column = screen == ScreenName::Espositivo ? int(FieldGroup::Espositivi) : int(FieldGroup::TipoSequenze);
    QCOMPARE(pupilRow(f.tc, QStringLiteral("BLU ELSA")).value(column).toDouble(), 1.0);
}

void TestSequenceScreens::archiveHidesAndReturns_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("command");
    QTest::newRow("Fespositivo") << ScreenName::Espositivo << "CmdArchivio";
    QTest::newRow("Fsequenze") << ScreenName::Sequenze << "cmdarchiv";
}

void TestSequenceScreens::archiveHidesAndReturns()
{
    QFETCH(QString, screen);
    QFETCH(QString, command);
    Fixture f;
    f.tc.ctx.nomeStudente = QStringLiteral("ROSSI MARIO");
    SequenceScreen *s = f.show(screen);
    checkText(s, 2, 2);
    const QString shown = s->dropBox(0)->text();

    s->findChild<QPushButton *>(command)->click();
    QCOMPARE(f.tc.ctx.formChiamante, screen);
    QVERIFY(!s->isVisible());
    QVERIFY(f.tc.navigator->isLoaded(screen));
    Screen *results = f.tc.navigator->screen(ScreenName::Risultati);
    QVERIFY(results && results->isVisible());

    // The results screen's return brings the very same screen back as it was.
    QCOMPARE(f.tc.navigator->showCaller(f.tc.ctx.formChiamante), s);
    QVERIFY(s->isVisible());
    QCOMPARE(s->dropBox(0)->text(), shown);
    QCOMPARE(s->counter(2)->text(), QStringLiteral("2"));
    QVERIFY(!s->checkButton()->isEnabled());
}

void TestSequenceScreens::escoClosesAndEnds()
{
    Fixture f;
    SequenceScreen *s = f.show(ScreenName::Espositivo);
    s->findChild<QPushButton *>(QStringLiteral("cmdfine"))->click();
    QVERIFY(f.tc.ended);
    QVERIFY(!f.tc.db->isOpen());
}

QTEST_MAIN(TestSequenceScreens)
#include "tst_sequencescreens.moc"
