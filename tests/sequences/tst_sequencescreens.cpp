// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/labels.h"
#include "kit/passageview.h"
#include "kit/reader.h"
#include "core/numeric.h"
#include "storage/resultsstore.h"
#include "sequences/sequencescreen.h"
#include "sequences/sequencescreens.h"
#include "shell/activities.h"
#include "shell/chiedinome.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDropEvent>
#include <QFrame>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QAccessible>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;
using morvello::test::TestContext;

namespace {

// The menu belongs to the shell; a bare screen stands in for it here.
class MenuStandIn : public Screen
{
public:
    MenuStandIn() : Screen(ScreenName::Menu, QSize(11880, 8490), Qt::darkGray, QStringLiteral("Menu"))
    {
    }
};

struct Fixture {
    TestContext tc;
    Fixture()
    {
        tc.navigator->registerScreen(ScreenName::Menu, []() { return new MenuStandIn; });
        tc.host->registerResultsScreen();
        registerActivities(*tc.navigator, tc.env());
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
    // nome, argomento, rispgiuste, rispsbagliate
    for (const QVector<QVariant> &row : tableRows(*tc.db, QStringLiteral("studenti")))
        out << QVariantList{row.value(0), row.value(1), row.value(2), row.value(3)};
    return out;
}

} // namespace

class TestSequenceScreens : public QObject
{
    Q_OBJECT

private slots:
    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void loadState_data();
    void loadState();
    void rowsFollowTheExercise_data();
    void rowsFollowTheExercise();
    void closedChooserKeepsTheBoard_data();
    void closedChooserKeepsTheBoard();
    void chooserChangesByAChoiceFromItsList();
    void realDropEventSetsCaption_data();
    void realDropEventSetsCaption();
    void pickAndPlaceWithKeyboard();
    void readsRowsSentenceBySentence_data();
    void readsRowsSentenceBySentence();
    void pickAndPlaceWithClicks();
    void emptyBoxGivesMessageOnly();
    void checkColoursAndSaves_data();
    void checkColoursAndSaves();
    void emptyNameSavesNothing();
    void saveFailureIsReportedAndWorkGoesOn();
    void registerStoresRunningCounts_data();
    void registerStoresRunningCounts();
    void registerWithBlankNameIsTheGuest();
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
    QTest::addColumn<QStringList>("controls");
    const QStringList common{"Combo1", "cmdrisult", "Label2", "Label3", "Label4", "Label5", "Label6", "Label8",
                             "labedizione", "CmdMenù", "cmdfine", "Label1(0)", "Label7(5)"};
    QTest::newRow("Fespositivo") << ScreenName::Espositivo
                                 << common + QStringList{"CmdArchivio", "Label21", "Label18(0)", "Label18(5)",
                                                         "Label9", "Label10", "Label13", "Label14", "Label15",
                                                         "Label16", "Label17", "Label19"};
    QTest::newRow("Fsequenze") << ScreenName::Sequenze
                               << common + QStringList{"cmdarchiv", "CMDREGISTRO", "Label9", "Label10(0)",
                                                       "Label10(5)", "Label11", "Label12", "Label13", "Label14"};
}

void TestSequenceScreens::controlsAsDesigned()
{
    QFETCH(QString, screen);
    QFETCH(QStringList, controls);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    QVERIFY(s);
    for (const QString &name : controls) {
        auto *w = s->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QVERIFY2(!QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty(), qPrintable(name));
    }
    // The numbers sit in the blank stretches of their frames: the closing
    // "su" lies between the two numbers.
    for (const QString &frame : {QStringLiteral("Label4"), QStringLiteral("Label5")}) {
        auto *label = s->findChild<QLabel *>(frame);
        auto *right = s->counter(frame == QLatin1String("Label4") ? 2 : 6);
        auto *total = s->counter(frame == QLatin1String("Label4") ? 3 : 8);
        const QFontMetricsF fm(label->font());
        const double suEnd = label->x() + fm.horizontalAdvance(label->text());
        const double suStart = suEnd - fm.horizontalAdvance(QStringLiteral("su"));
        QVERIFY2(suStart >= right->geometry().right() && suEnd <= total->x(), qPrintable(frame));
    }
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
    QCOMPARE(s->sourceLabel()->text(), s->exercise().catalogue().texts[0].source.value_or(QString()));

    // Every answer of the catalogue can be dropped from some type label.
    QStringList captions;
    for (DragLabel *t : s->typeLabels())
        captions << t->text();
    QStringList vocabulary = s->exercise().types();
    captions.sort();
    vocabulary.sort();
    QCOMPARE(captions, vocabulary);
    if (s->registerButton())
        QVERIFY(s->registerButton()->isEnabled());
    // Clicking a label and then a box works too, and the screen says so.
    for (DragLabel *t : s->typeLabels())
        QVERIFY(!t->toolTip().isEmpty());
    QVERIFY(!s->dropBox(0)->toolTip().isEmpty());
    QVERIFY(s->findChild<QLabel *>(s->config().instructionsName)->text().contains(QStringLiteral("clic")));
}

void TestSequenceScreens::rowsFollowTheExercise_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("text");
    QTest::addColumn<QSize>("display");
    QTest::addColumn<bool>("legible");
    for (const bool legible : {false, true})
        for (const QString &screen : {ScreenName::Espositivo, ScreenName::Sequenze})
            for (int text = 1; text <= 8; ++text)
                QTest::addRow("%s %d%s", qPrintable(screen), text, legible ? " legible" : "")
                    << screen << text << QSize(1280, 1024) << legible;
    // The passages with the longest captions and the one-line rows, on a
    // wide display and on a small one.
    for (const QSize &display : {QSize(1920, 1080), QSize(1024, 768)}) {
        for (int text : {2, 6, 7, 8})
            QTest::addRow("Fespositivo %d at %dx%d", text, display.width(), display.height())
                << ScreenName::Espositivo << text << display << false;
        QTest::addRow("Fsequenze 8 at %dx%d", display.width(), display.height())
            << ScreenName::Sequenze << 8 << display << false;
    }
    QTest::newRow("Fespositivo 2 legible at 1920x1080") << ScreenName::Espositivo << 2 << QSize(1920, 1080) << true;
    QTest::newRow("Fsequenze 1 legible at 1024x768") << ScreenName::Sequenze << 1 << QSize(1024, 768) << true;
}

void TestSequenceScreens::rowsFollowTheExercise()
{
    QFETCH(QString, screen);
    QFETCH(int, text);
    QFETCH(QSize, display);
    QFETCH(bool, legible);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    s->resize(display);
    choose(s, text);
    const SequenceExercise &ex = s->exercise();
    const int rows = ex.numSequenze();
    const int normalPixels = s->textLabel(0)->font().pixelSize();
    // In the normal look the rows fit the room the design gives them.
    QVERIFY(!s->rowColumn()->scrolls());
    const QRect column = s->rowColumn()->geometry();
    s->setLegible(legible);
    QCOMPARE(s->rowColumn()->geometry(), column);

    // Nothing of the passage may reach the chooser or the type labels.
    int below = s->designGeometry(s->chooser()).top();
    for (DragLabel *t : s->typeLabels())
        below = qMin(below, s->designGeometry(t).top());
    QVERIFY(s->designGeometry(s->rowColumn()).bottom() < below);
    // What scrolls never passes over "RISULTATO", which may reach into its corner.
    const QRect check = s->checkButton()->geometry().translated(-s->rowColumn()->pos());
    const QRegion open = s->rowColumn()->mask().isEmpty() ? QRegion(s->rowColumn()->rect()) : s->rowColumn()->mask();
    QVERIFY(!open.intersects(check));

    QCOMPARE(s->designGeometry(s->textLabel(0)).top(), 120);
    for (int i = 0; i < rows; ++i) {
        const QRect row = s->designGeometry(s->textLabel(i));
        QCOMPARE(row, QRect(240, s->rowTop(i), 7095, s->rowHeight(i)));
        const QRect box = s->designGeometry(s->dropBox(i));
        QCOMPARE(box.top(), row.top());
        QCOMPARE(s->designGeometry(s->answerLabel(i)).top(), row.top());
        const int nextTop = i + 1 < rows ? s->rowTop(i + 1) : legible ? INT_MAX : below;
        QVERIFY2(box.top() + box.height() <= nextTop, qPrintable(QStringLiteral("box %1 runs over").arg(i)));
        // Legible rows scroll in the column instead.
        QVERIFY(legible || row.top() + row.height() <= below);
        if (i > 0) {
            const QRect above = s->designGeometry(s->textLabel(i - 1));
            QCOMPARE(row.top(), above.top() + above.height());
        }
    }
    // Passage text keeps off the edges of its block; the boxes of two rows
    // have background between them, however short the rows.
    for (int i = 0; i < rows; ++i) {
        const QRect inside = s->textLabel(i)->contentsRect();
        QVERIFY(inside.left() >= 4 && inside.top() >= 2 && s->textLabel(i)->width() - inside.right() >= 4);
        // ... and shows whole inside that margin, in its own spacing.
        const QRect need = QFontMetrics(s->textLabel(i)->font())
                               .boundingRect(QRect(0, 0, inside.width(), 10000), Qt::TextWordWrap,
                                             s->textLabel(i)->text());
        // (The legible lines stand closer than the typeface's own.)
        QVERIFY2((legible || need.height() <= inside.height())
                     && s->textLabel(i)->heightForWidth(s->textLabel(i)->width()) <= s->textLabel(i)->height(),
                 qPrintable(QStringLiteral("passage row %1 is cut").arg(i)));
        // The legible type as large as a passage view's, never fitted smaller.
        QVERIFY(!legible || s->textLabel(i)->font().pixelSize() >= PassageView::LegibleSize * normalPixels);
        QCOMPARE(s->textLabel(i)->font().family() == PassageView::legibleFamily(), legible);
        // One passage, one size.
        QCOMPARE(s->textLabel(i)->font().pixelSize(), s->textLabel(0)->font().pixelSize());
        if (i > 0)
            QVERIFY2(s->dropBox(i)->y() - s->dropBox(i - 1)->geometry().bottom() > 4,
                     qPrintable(QStringLiteral("boxes %1 and %2 touch").arg(i - 1).arg(i)));
    }
    QVERIFY(s->designGeometry(s->chooser()).intersected(s->designGeometry(s->checkButton())).isEmpty());
    QVERIFY(s->designGeometry(s->dropBox(0)).intersected(s->designGeometry(s->answerLabel(0))).isEmpty());
    const QSize shown = display;

    // Edge to edge on the display too, without a line of background between
    // rows, whatever the display.
    for (const QSize &display : {QSize(1024, 768), QSize(1366, 768), QSize(1600, 900), QSize(1920, 1080),
                                 QSize(1280, 1024)}) {
        s->resize(display);
        for (int i = 1; i < rows; ++i)
            QCOMPARE(s->textLabel(i)->y(), s->textLabel(i - 1)->geometry().bottom() + 1);
    }
    s->resize(shown);
    for (int i = rows; i < SequenceExercise::MaxRows; ++i) {
        QVERIFY(!s->textLabel(i)->isVisible());
        QVERIFY(!s->dropBox(i)->isVisible());
    }

    // The longest type name, dropped everywhere and judged, shows whole.
    QString longest;
    for (const QString &t : ex.types())
        if (t.size() > longest.size())
            longest = t;
    for (int i = 0; i < rows; ++i)
        s->Label7_DragDrop(i, nullptr, longest);
    s->checkButton()->click();
    for (int i = 0; i < rows; ++i) {
        for (QLabel *l : {static_cast<QLabel *>(s->dropBox(i)), static_cast<QLabel *>(s->answerLabel(i))}) {
            const QRect room = l->contentsRect();
            const QRect need = QFontMetrics(l->font()).boundingRect(QRect(0, 0, room.width(), 10000),
                                                                    Qt::TextWordWrap | Qt::AlignCenter, l->text());
            QVERIFY2(need.height() <= room.height() && need.width() <= room.width(),
                     qPrintable(QStringLiteral("%1 clips \"%2\"").arg(l->objectName(), l->text())));
            // Never smaller than 9 points at the design size (to the pixel
            // the scale rounds it to).
            QVERIFY2(l->font().pixelSize() >= qRound(9.0 * 96 / 72 * s->scale()),
                     qPrintable(QStringLiteral("%1 at %2 px").arg(l->objectName()).arg(l->font().pixelSize())));
        }
    }
}

void TestSequenceScreens::closedChooserKeepsTheBoard_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("opensList");
    for (const QString &screen : {ScreenName::Espositivo, ScreenName::Sequenze}) {
        const char *name = screen == ScreenName::Espositivo ? "Fespositivo" : "Fsequenze";
        QTest::addRow("%s wheel down", name) << screen << "wheel down" << false;
        QTest::addRow("%s wheel up", name) << screen << "wheel up" << false;
        QTest::addRow("%s Down", name) << screen << "Down" << true;
        QTest::addRow("%s Up", name) << screen << "Up" << true;
    }
    QTest::newRow("Fespositivo End") << ScreenName::Espositivo << "End" << false;
    QTest::newRow("Fespositivo PageDown") << ScreenName::Espositivo << "PageDown" << false;
    QTest::newRow("Fsequenze Home") << ScreenName::Sequenze << "Home" << false;
    // Typing the first letter of another passage would jump to it.
    QTest::newRow("Fespositivo letter") << ScreenName::Espositivo << "letter" << false;
}

void TestSequenceScreens::closedChooserKeepsTheBoard()
{
    QFETCH(QString, screen);
    QFETCH(QString, input);
    QFETCH(bool, opensList);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    QApplication::setActiveWindow(s);
    // A passage in the middle of the list, so that any step would move.
    choose(s, 4);
    fillBoard(s, {1});
    QStringList placed;
    for (int i = 0; i < s->exercise().numSequenze(); ++i)
        placed << s->dropBox(i)->text();
    QComboBox *combo = s->chooser();
    combo->setFocus(Qt::TabFocusReason);

    if (input.startsWith(QLatin1String("wheel"))) {
        const QPoint at = combo->rect().center();
        const QPoint delta(0, input.endsWith(QLatin1String("down")) ? -120 : 120);
        QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
    } else if (input == QLatin1String("letter")) {
        // The initial of a passage other than the one on show.
        const QString other = combo->itemText(0);
        QVERIFY(other.at(0) != combo->currentText().at(0));
        QTest::keyClick(combo, other.at(0).toLower().toLatin1());
    } else {
        const QHash<QString, Qt::Key> keys{{"Down", Qt::Key_Down}, {"Up", Qt::Key_Up}, {"End", Qt::Key_End},
                                          {"PageDown", Qt::Key_PageDown}, {"Home", Qt::Key_Home}};
        QTest::keyClick(combo, keys.value(input));
    }

    QCOMPARE(combo->currentIndex(), 3);
    QCOMPARE(s->exercise().testoScelto(), 4);
    for (int i = 0; i < placed.size(); ++i)
        QCOMPARE(s->dropBox(i)->text(), placed[i]);
    QVERIFY(f.tc.dialogs.messages.isEmpty());
    // The arrow keys open the list instead, to choose from.
    QCOMPARE(combo->view()->isVisible(), opensList);
    combo->hidePopup();
}

void TestSequenceScreens::chooserChangesByAChoiceFromItsList()
{
    Fixture f;
    SequenceScreen *s = f.show(ScreenName::Espositivo);
    QApplication::setActiveWindow(s);
    fillBoard(s);
    QComboBox *combo = s->chooser();
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    QTRY_VERIFY(list->isVisible());
    // In the open list the arrows move, and Enter chooses.
    list->setCurrentIndex(list->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(combo->currentIndex(), 3);
    QCOMPARE(s->exercise().testoScelto(), 4);
    QVERIFY(s->dropBox(0)->text().isEmpty());
}

void TestSequenceScreens::realDropEventSetsCaption_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("legible");
    QTest::newRow("Fespositivo row 0") << ScreenName::Espositivo << 0 << false;
    QTest::newRow("Fespositivo row 3") << ScreenName::Espositivo << 3 << false;
    QTest::newRow("Fsequenze row 4") << ScreenName::Sequenze << 4 << false;
    // Rows scrolled into sight with the bar.
    QTest::newRow("Fespositivo row 3 legible") << ScreenName::Espositivo << 3 << true;
    QTest::newRow("Fsequenze row 4 legible") << ScreenName::Sequenze << 4 << true;
}

void TestSequenceScreens::realDropEventSetsCaption()
{
    QFETCH(QString, screen);
    QFETCH(int, row);
    QFETCH(bool, legible);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    s->resize(1280, 1024);
    s->setLegible(legible);
    QCOMPARE(s->rowColumn()->bar()->isVisible(), legible);
    if (legible) {
        QScrollBar *bar = s->rowColumn()->bar();
        bar->setValue(bar->maximum());
        QCOMPARE(s->rowColumn()->verticalScrollBar()->value(), bar->maximum());
    }
    // The box is what lies at its middle on the screen, where the pupil
    // drops and clicks.
    DropLabel *box = s->dropBox(row);
    QVERIFY(box->isVisible());
    const QPointF at = box->rect().center();
    QCOMPARE(s->childAt(box->mapTo(s, at.toPoint())), box);

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
    // A label picked, then the box clicked.
    s->typeLabels().at(0)->pick();
    QTest::mouseClick(box, Qt::LeftButton, {}, at.toPoint());
    QCOMPARE(s->exercise().dropCaption(row), s->typeLabels().at(0)->text());
}

void TestSequenceScreens::readsRowsSentenceBySentence_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("legible");
    QTest::addColumn<QSize>("display");
    // Its first passage has a row of two sentences.
    QTest::newRow("Fsequenze") << ScreenName::Sequenze << false << QSize(1280, 1024);
    QTest::newRow("Fsequenze legible") << ScreenName::Sequenze << true << QSize(1280, 1024);
    QTest::newRow("Fespositivo legible, wide") << ScreenName::Espositivo << true << QSize(1920, 1080);
}

// Each sentence of each row is marked inside its row while it is read, the
// row scrolled into sight; no frame goes round the whole row.
void TestSequenceScreens::readsRowsSentenceBySentence()
{
    QFETCH(QString, screen);
    QFETCH(bool, legible);
    QFETCH(QSize, display);
    Fixture f;
    SequenceScreen *s = f.show(screen);
    s->resize(display);
    s->setLegible(legible);
    const SequenceExercise &ex = s->exercise();
    QStringList expected;
    for (int i = 0; i < ex.numSequenze(); ++i)
        for (const auto &span : sentenceSpans(ex.rowText(i)))
            expected << ex.rowText(i).mid(span.first, span.second - span.first);
    QVERIFY(expected.size() >= ex.numSequenze());

    s->readButton()->press();
    QWidget *viewport = s->rowColumn()->viewport();
    int lastRow = -1;
    QRect lastBand;
    for (int n = 0; n < expected.size(); ++n) {
        QCOMPARE(f.tc.speech.said.size(), n + 1);
        QCOMPARE(f.tc.speech.said.last(), expected.at(n));
        int marked = -1;
        for (int i = 0; i < ex.numSequenze(); ++i)
            if (s->textLabel(i)->readingMark().first >= 0) {
                QCOMPARE(marked, -1);
                marked = i;
            }
        QVERIFY(marked >= lastRow && marked >= 0);
        PassageLabel *row = s->textLabel(marked);
        const QRect band = row->readingRect();
        QVERIFY2(row->contentsRect().contains(band), qPrintable(expected.at(n)));
        // Moved on within the row, or to the next row.
        QVERIFY(marked > lastRow || band != lastBand);
        const QRect inSight(row->mapTo(viewport, band.topLeft()), band.size());
        QVERIFY2(viewport->rect().contains(inSight), qPrintable(expected.at(n)));
        QVERIFY(s->findChildren<QWidget *>(QStringLiteral("CorniceLettura")).isEmpty());
        lastRow = marked;
        lastBand = band;
        f.tc.speech.finish();
    }
    QVERIFY(!s->readButton()->reader()->reading());
    QCOMPARE(s->textLabel(lastRow)->readingMark(), qMakePair(-1, -1));
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

    // The keyboard's focus ring lies around a box, clear of its two-line
    // caption, and keeps to it when the window is laid out again.
    DropLabel *box = s->dropBox(1);
    box->setFocus(Qt::TabFocusReason);
    FocusRing *ring = FocusRing::of(box->parentWidget());
    QVERIFY(ring && ring->isVisible());
    QCOMPARE(ring->target(), box);
    const int reach = FocusRing::Reach;
    QCOMPARE(ring->geometry(), box->geometry().adjusted(-reach, -reach, reach, reach));
    s->resize(1600, 1000);
    QCOMPARE(ring->geometry(), box->geometry().adjusted(-reach, -reach, reach, reach));
    // A click hands the focus on without a ring.
    type->setFocus(Qt::MouseFocusReason);
    QVERIFY(!ring->isVisible());
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
    f.tc.session.nomeStudente = QStringLiteral("ROSSI MARIO");
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
    f.tc.session.nomeStudente = QStringLiteral("BIANCHI ANNA");
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
    f.tc.session.nomeStudente.clear();
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
    f.tc.session.nomeStudente = QStringLiteral("VERDI LUCA");
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
    f.tc.session.nomeStudente = QStringLiteral("NERI PAOLO");
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
    f.tc.navigator->showCaller(f.tc.session.formChiamante);
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

void TestSequenceScreens::registerWithBlankNameIsTheGuest()
{
    Fixture f;
    f.tc.session.nomeStudente = QStringLiteral("NERI PAOLO");
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    checkText(s, 2, 5);
    f.tc.dialogs.queueAnswer(QStringLiteral("   "));
    s->registerButton()->click();
    QCOMPARE(f.tc.session.nomeStudente, QStringLiteral("Ospite"));
    const auto rows = studentiRows(f.tc);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("Ospite"));
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TestSequenceScreens::nameTypedAtRegisterKeysLaterSaves()
{
    Fixture f;
    f.tc.session.nomeStudente = QStringLiteral("ROSSI MARIO");
    SequenceScreen *s = f.show(ScreenName::Sequenze);
    checkText(s, 1, 5);
    f.tc.dialogs.queueAnswer(QStringLiteral("Gialli Sara"));
    s->registerButton()->click();
    QCOMPARE(f.tc.session.nomeStudente, QStringLiteral("GIALLI SARA"));
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
    f.tc.session.nomeStudente = QStringLiteral("BLU ELSA");
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
    f.tc.session.nomeStudente = QStringLiteral("ROSSI MARIO");
    SequenceScreen *s = f.show(screen);
    checkText(s, 2, 2);
    const QString shown = s->dropBox(0)->text();

    s->findChild<QPushButton *>(command)->click();
    QCOMPARE(f.tc.session.formChiamante, screen);
    QVERIFY(!s->isVisible());
    QVERIFY(f.tc.navigator->isLoaded(screen));
    Screen *results = f.tc.navigator->screen(ScreenName::Risultati);
    QVERIFY(results && results->isVisible());

    // The results screen's return brings the very same screen back as it was.
    QCOMPARE(f.tc.navigator->showCaller(f.tc.session.formChiamante), s);
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
