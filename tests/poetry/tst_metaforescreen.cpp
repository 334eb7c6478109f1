// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/labels.h"
#include "kit/reader.h"
#include "text/richtextview.h"
#include "poetry/metaforescreen.h"
#include "poetry/poetryscreens.h"
#include "shell/activities.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QButtonGroup>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

class MenuStandIn : public Screen
{
public:
    MenuStandIn() : Screen(ScreenName::Menu, QSize(11880, 8490), Qt::darkGray, QStringLiteral("Menu")) {}
};

const QString Pupil = QStringLiteral("VERDI LUCA");

struct Fixture {
    TestContext tc;
    Fixture()
    {
        // The shipped examples and pictures, in the test's own data folder.
        const QDir shipped(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
        for (int n = 1; n <= ExampleCount; ++n) {
            const QString file = figureExample(n)->file.section(QLatin1Char('\\'), -1);
            QFile::copy(shipped.filePath(file), tc.dataDir() + QLatin1Char('/') + file);
        }
        for (const char *picture : {"giusto.jpg", "sbagliato.jpg"})
            QFile::copy(shipped.filePath(QLatin1String(picture)), tc.dataDir() + QLatin1Char('/') + QLatin1String(picture));
        tc.session.nomeStudente = Pupil;
        tc.navigator->registerScreen(ScreenName::Menu, []() { return new MenuStandIn; });
        tc.host->registerResultsScreen();
        registerActivities(*tc.navigator, tc.env());
    }
    MetaforeScreen *show() { return qobject_cast<MetaforeScreen *>(tc.navigator->show(poetryscreens::Metafore)); }
    QVector<QVariant> row() { return lookupPupil(*tc.db, Pupil).value_or(QVector<QVariant>()); }
    void removeData(const QString &file) { QFile::remove(tc.dataDir() + QLatin1Char('/') + file); }
};

int rightOption(const MetaforeScreen *s)
{
    return int(figureCaptions().indexOf(s->quiz().figuraGiusta()));
}

// A pupil's click: pressed and released over the control.
void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(12, w->height() / 2));
}

void answerFigure(MetaforeScreen *s, bool right)
{
    const int i = rightOption(s);
    click(s->option(right ? i : (i + 1) % FigureCount));
}

void answerDefinition(MetaforeScreen *s, bool right)
{
    const int d = s->quiz().definizioneGiusta();
    click(s->definition(right ? d : (d + 1) % FigureCount));
}

QColor optionColour(const MetaforeScreen *s, int i)
{
    return s->option(i)->shownGround();
}

} // namespace

class TstMetaforeScreen : public QObject
{
    Q_OBJECT
private slots:
    void registryRow();
    void loaded();
    void answersByClicks_data();
    void answersByClicks();
    void definitionsOverThreeExamples();
    void nextNeedsBothAnswers();
    void emptyNameCountsButSavesNothing();
    void missingExample();
    void missingPictureToldOnce();
    void exits();
    void layout_data();
    void layout();
};

void TstMetaforeScreen::registryRow()
{
    const Activity *a = activityForMenuLabel(activities(), QStringLiteral("LabFigure"));
    QVERIFY(a);
    QCOMPARE(a->screen, QStringLiteral("FMetafore"));
    QCOMPARE(a->screen, ScreenName::Metafore);
}

void TstMetaforeScreen::loaded()
{
    Fixture f;
    MetaforeScreen *s = f.show();
    QVERIFY(s);
    QCOMPARE(s->windowTitle(), QStringLiteral("Form1"));
    QVERIFY(s->quiz().numeroEsempio() >= 1 && s->quiz().numeroEsempio() <= ExampleCount);

    // The view shows the drawn example's own text.
    QTextDocument expected;
    QVERIFY(readRtfFile(f.tc.dataDir() + QLatin1Char('/') + s->quiz().exampleFile().section(QLatin1Char('\\'), -1),
                        &expected)
                .ok);
    QCOMPARE(s->exampleView()->plainText(), expected.toPlainText());
    QVERIFY(!s->exampleView()->plainText().isEmpty());

    for (int i = 0; i < FigureCount; ++i) {
        QCOMPARE(s->findChild<QRadioButton *>(QStringLiteral("Option1(%1)").arg(i)), s->option(i));
        QCOMPARE(s->findChild<ClickLabel *>(QStringLiteral("Label1(%1)").arg(i)), s->definition(i));
        QVERIFY(!s->option(i)->isChecked() && s->option(i)->isEnabled());
    }
    const QList<QPair<QString, QString>> captions = {
        {"Label2", "1) Quale figura retorica è illustrata?"},
        {"Label3", "2) Clicca sulla definizione che corrisponde alla figura retorica."},
        {"Label4", "Figure"},
        {"Label5", "Definizioni"},
        {"LabFigGiu", "0"},
        {"LabFigSba", "0"},
        {"LabDefGiu", "0"},
        {"LabDefSba", "0"},
    };
    for (const auto &c : captions) {
        auto *l = s->findChild<QLabel *>(c.first);
        QVERIFY2(l, qPrintable(c.first));
        QCOMPARE(l->text(), c.second);
    }
    for (const auto &b : QList<QPair<QString, QString>>{
             {"CmdSeguente", "Figura successiva"}, {"CmdArchivio", "Archivio"}, {"CmdMenù", "Menù"}, {"CmdEsco", "Esco"}})
        QCOMPARE(s->findChild<QPushButton *>(b.first)->text(), b.second);
    QCOMPARE(s->labFigGiu()->textColor(), QColor(Qt::white));
    QCOMPARE(s->labFigSba()->textColor(), red());
    // Wrong stands left of right in each row.
    QVERIFY(s->labFigSba()->x() < s->labFigGiu()->x());
    QVERIFY(s->labDefSba()->x() < s->labDefGiu()->x());
    QCOMPARE(s->image2()->shows(), PictureSlot::Shows::Nothing);
    QCOMPARE(s->image3()->shows(), PictureSlot::Shows::Nothing);
    QVERIFY(s->findChild<QWidget *>(QStringLiteral("Image1")));
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TstMetaforeScreen::answersByClicks_data()
{
    QTest::addColumn<bool>("figureRight");
    QTest::addColumn<bool>("definitionRight");
    QTest::newRow("figure right, definition wrong") << true << false;
    QTest::newRow("figure wrong, definition right") << false << true;
}

void TstMetaforeScreen::answersByClicks()
{
    QFETCH(bool, figureRight);
    QFETCH(bool, definitionRight);
    Fixture f;
    f.tc.clock.set(QDateTime(QDate(2026, 5, 4), QTime(9, 15, 0)));
    MetaforeScreen *s = f.show();
    const int number = s->quiz().numeroEsempio();
    const int right = rightOption(s);
    const int chosen = figureRight ? right : (right + 1) % FigureCount;

    answerFigure(s, figureRight);
    QVERIFY(s->option(chosen)->isChecked());
    QCOMPARE(s->image2()->shows(), figureRight ? PictureSlot::Shows::Right : PictureSlot::Shows::Wrong);
    QVERIFY(s->image2()->pictureLoaded());
    QCOMPARE(optionColour(s, chosen), figureRight ? MetaforeScreen::restingColor() : red());
    QCOMPARE(s->labFigGiu()->text(), figureRight ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(s->labFigSba()->text(), figureRight ? QStringLiteral("0") : QStringLiteral("1"));
    for (int i = 0; i < FigureCount; ++i)
        QVERIFY(!s->option(i)->isEnabled());
    QVERIFY(!s->frame1()->isEnabled());
    // Saved at once: right answers, answers given, percentage, date.
    QVector<QVariant> row = f.row();
    const int fig = int(FieldGroup::Figure);
    QCOMPARE(row.value(fig).toDouble(), figureRight ? 1.0 : 0.0);
    QCOMPARE(row.value(fig + 1).toInt(), 1);
    QCOMPARE(row.value(fig + 2).toDouble(), figureRight ? 100.0 : 0.0);
    QCOMPARE(row.value(fig + 3).toDateTime(), f.tc.clock.now());
    QVERIFY(row.value(int(FieldGroup::Definizioni)).isNull());

    // A second click on the closed question changes nothing.
    click(s->option(right));
    QCOMPARE(s->quiz().figures().total(), 1);

    const int d = s->quiz().definizioneGiusta();
    const int chosenDef = definitionRight ? d : (d + 1) % FigureCount;
    answerDefinition(s, definitionRight);
    QCOMPARE(s->image3()->shows(), definitionRight ? PictureSlot::Shows::Right : PictureSlot::Shows::Wrong);
    QCOMPARE(s->definition(chosenDef)->backgroundColor(), definitionRight ? MetaforeScreen::restingColor() : red());
    QCOMPARE(s->labDefGiu()->text(), definitionRight ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(s->labDefSba()->text(), definitionRight ? QStringLiteral("0") : QStringLiteral("1"));
    QVERIFY(!s->frame2()->isEnabled());
    // Answered, the definitions look answered: the choice framed and black, the others grey.
    for (int i = 0; i < FigureCount; ++i) {
        QCOMPARE(s->definition(i)->isBordered(), i == chosenDef);
        QCOMPARE(s->definition(i)->textColor() == QColor(Qt::black), i == chosenDef);
    }
    click(s->definition((chosenDef + 2) % FigureCount));
    QCOMPARE(s->quiz().definitions().total(), 1);
    row = f.row();
    const int def = int(FieldGroup::Definizioni);
    QCOMPARE(row.value(def).toDouble(), definitionRight ? 1.0 : 0.0);
    QCOMPARE(row.value(def + 1).toInt(), 1);
    QCOMPARE(row.value(def + 2).toDouble(), definitionRight ? 100.0 : 0.0);
    QCOMPARE(row.value(def + 3).toDateTime(), f.tc.clock.now());

    // The next example opens both questions again, with nothing red or chosen.
    click(s->nextButton());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
    QVERIFY(s->quiz().numeroEsempio() != number);
    QCOMPARE(s->image2()->shows(), PictureSlot::Shows::Nothing);
    QCOMPARE(s->image3()->shows(), PictureSlot::Shows::Nothing);
    QVERIFY(s->image2()->isVisible() && s->image3()->isVisible());
    QVERIFY(s->frame1()->isEnabled() && s->frame2()->isEnabled());
    for (int i = 0; i < FigureCount; ++i) {
        QVERIFY(!s->option(i)->isChecked());
        QVERIFY(s->option(i)->isEnabled());
        QCOMPARE(optionColour(s, i), MetaforeScreen::restingColor());
        QCOMPARE(s->definition(i)->backgroundColor(), MetaforeScreen::restingColor());
        QVERIFY(s->definition(i)->isEnabled());
        QVERIFY(!s->definition(i)->isBordered());
        QCOMPARE(s->definition(i)->textColor(), QColor(Qt::black));
    }
    // Counters run on.
    answerFigure(s, true);
    QCOMPARE(s->labFigGiu()->text(), figureRight ? QStringLiteral("2") : QStringLiteral("1"));
    QCOMPARE(f.row().value(fig + 1).toInt(), 2);
}

void TstMetaforeScreen::definitionsOverThreeExamples()
{
    Fixture f;
    MetaforeScreen *s = f.show();
    for (bool right : {true, false, true}) {
        answerDefinition(s, right);
        answerFigure(s, true);
        click(s->nextButton());
    }
    QCOMPARE(s->labDefSba()->text(), QStringLiteral("1"));
    QCOMPARE(s->labDefGiu()->text(), QStringLiteral("2"));
    const QVector<QVariant> row = f.row();
    QCOMPARE(row.value(int(FieldGroup::Definizioni)).toDouble(), 2.0);
    QCOMPARE(row.value(int(FieldGroup::Definizioni) + 1).toInt(), 3);
    QCOMPARE(row.value(int(FieldGroup::Definizioni) + 2).toDouble(), 66.0);
    QCOMPARE(row.value(int(FieldGroup::Figure) + 2).toDouble(), 100.0);
}

void TstMetaforeScreen::nextNeedsBothAnswers()
{
    Fixture f;
    MetaforeScreen *s = f.show();
    const int number = s->quiz().numeroEsempio();
    const QString text = s->exampleView()->plainText();
    answerDefinition(s, false);
    const int wrongDef = s->quiz().wrongDefinition();
    click(s->nextButton());
    QCOMPARE(f.tc.dialogs.messages, QStringList{QStringLiteral("Non hai completato la risposta")});
    QCOMPARE(s->quiz().numeroEsempio(), number);
    QCOMPARE(s->exampleView()->plainText(), text);
    QCOMPARE(s->image3()->shows(), PictureSlot::Shows::Wrong);
    QCOMPARE(s->definition(wrongDef)->backgroundColor(), red());
    QVERIFY(s->frame1()->isEnabled());
    QVERIFY(!s->frame2()->isEnabled());
}

void TstMetaforeScreen::emptyNameCountsButSavesNothing()
{
    Fixture f;
    f.tc.session.nomeStudente.clear();
    MetaforeScreen *s = f.show();
    answerFigure(s, true);
    answerDefinition(s, false);
    QCOMPARE(s->labFigGiu()->text(), QStringLiteral("1"));
    QCOMPARE(s->labDefSba()->text(), QStringLiteral("1"));
    QVERIFY(allNames(*f.tc.db).isEmpty());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

// A missing example is named to the pupil; nothing can be answered about it,
// and "Figura successiva" brings another at once.
void TstMetaforeScreen::missingExample()
{
    Fixture f;
    for (int n = 1; n <= ExampleCount; ++n)
        f.removeData(figureExample(n)->file.section(QLatin1Char('\\'), -1));
    MetaforeScreen *s = f.show();
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY2(f.tc.dialogs.messages.first().contains(s->quiz().exampleFile()), qPrintable(f.tc.dialogs.messages.first()));
    QVERIFY(f.tc.dialogs.messages.first().contains(QStringLiteral("Figura successiva")));
    QVERIFY(!s->frame1()->isEnabled() && !s->frame2()->isEnabled());
    click(s->option(0));
    click(s->definition(0));
    QCOMPARE(s->quiz().figures().total() + s->quiz().definitions().total(), 0);
    QVERIFY(allNames(*f.tc.db).isEmpty());

    // Put back, the next draw shows its example and the screen works on.
    const int before = s->quiz().numeroEsempio();
    for (int n = 1; n <= ExampleCount; ++n) {
        const QString file = figureExample(n)->file.section(QLatin1Char('\\'), -1);
        QVERIFY(QFile::copy(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/") + file,
                            f.tc.dataDir() + QLatin1Char('/') + file));
    }
    f.tc.dialogs.messages.clear();
    click(s->nextButton());
    QVERIFY2(f.tc.dialogs.messages.isEmpty(), qPrintable(f.tc.dialogs.messages.join('\n')));
    QVERIFY(s->quiz().numeroEsempio() != before);
    QVERIFY(!s->exampleView()->plainText().isEmpty());
    QVERIFY(s->frame1()->isEnabled() && s->frame2()->isEnabled());
    answerFigure(s, true);
    QCOMPARE(f.row().value(int(FieldGroup::Figure)).toDouble(), 1.0);
}

void TstMetaforeScreen::missingPictureToldOnce()
{
    Fixture f;
    f.removeData(QStringLiteral("giusto.jpg"));
    MetaforeScreen *s = f.show();
    answerFigure(s, true);
    QCOMPARE(s->image2()->shows(), PictureSlot::Shows::Right);
    QVERIFY(!s->image2()->pictureLoaded());
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY(f.tc.dialogs.messages.first().contains(QStringLiteral("permorvello\\giusto.jpg")));
    // Saved all the same, and the wrong picture is still there.
    QCOMPARE(f.row().value(int(FieldGroup::Figure)).toDouble(), 1.0);
    answerDefinition(s, true);
    answerDefinition(s, false);
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    click(s->nextButton());
    answerDefinition(s, false);
    QVERIFY(s->image3()->pictureLoaded());
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
}

// The menu hides the screen, which comes back as it was; the archive returns
// to it; "Esco" ends the program.
void TstMetaforeScreen::exits()
{
    Fixture f;
    MetaforeScreen *s = f.show();
    answerFigure(s, false);
    const int number = s->quiz().numeroEsempio();
    click(s->findChild<QPushButton *>(QStringLiteral("CmdMenù")));
    QVERIFY(!s->isVisible());
    QVERIFY(f.tc.navigator->screen(ScreenName::Menu)->isVisible());
    QCOMPARE(f.show(), s);
    QCOMPARE(s->quiz().numeroEsempio(), number);
    QCOMPARE(s->labFigSba()->text(), QStringLiteral("1"));
    QVERIFY(!s->frame1()->isEnabled());
    QCOMPARE(s->image2()->shows(), PictureSlot::Shows::Wrong);

    click(s->findChild<QPushButton *>(QStringLiteral("CmdArchivio")));
    QCOMPARE(f.tc.session.formChiamante, QStringLiteral("FMetafore"));
    QVERIFY(!s->isVisible());
    QVERIFY(f.tc.navigator->screen(ScreenName::Risultati)->isVisible());
    QCOMPARE(f.tc.navigator->showCaller(f.tc.session.formChiamante), s);
    QCOMPARE(s->quiz().numeroEsempio(), number);

    click(s->findChild<QPushButton *>(QStringLiteral("CmdEsco")));
    QVERIFY(f.tc.ended);
}

// Every control readable and apart from the others on the classroom's displays.
void TstMetaforeScreen::layout_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("1024x768") << QSize(1024, 768);
}

void TstMetaforeScreen::layout()
{
    QFETCH(QSize, window);
    Fixture f;
    MetaforeScreen *s = f.show();
    s->resize(window);
    QCoreApplication::processEvents();

    QList<QWidget *> controls;
    for (int i = 0; i < FigureCount; ++i) {
        QRadioButton *o = s->option(i);
        QVERIFY2(o->sizeHint().width() <= o->width(), qPrintable(o->text()));
        ClickLabel *l = s->definition(i);
        const QRect room = l->contentsRect().adjusted(l->indent(), 0, -2, 0);
        const QRect needed = l->fontMetrics().boundingRect(room, Qt::TextWordWrap, l->text());
        QVERIFY2(needed.height() <= l->contentsRect().height(), qPrintable(l->text()));
        controls << o << l;
    }
    for (const char *name : {"Label2", "Label3", "Label4", "Label5"}) {
        auto *l = s->findChild<QLabel *>(QLatin1String(name));
        const QRect needed = l->fontMetrics().boundingRect(l->contentsRect(), Qt::TextWordWrap, l->text());
        QVERIFY2(needed.height() <= l->contentsRect().height() && needed.width() <= l->contentsRect().width(), name);
        controls << l;
    }
    for (const char *name : {"CmdSeguente", "CmdArchivio", "CmdMenù", "CmdEsco"}) {
        auto *b = s->findChild<QPushButton *>(QString::fromUtf8(name));
        QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) < b->width(), name);
        controls << b;
    }
    controls << s->exampleView() << s->image2() << s->image3() << s->labFigGiu() << s->labFigSba() << s->labDefGiu()
             << s->labDefSba() << s->findChild<QWidget *>(QStringLiteral("Image1"));
    for (QWidget *w : controls)
        QVERIFY2(s->rect().contains(w->geometry()), qPrintable(w->objectName()));
    // "Leggi", added later, covers nothing the pupil sees, the picture included.
    const QWidget *read = s->readButton();
    QVERIFY(read->isVisible() && s->rect().contains(read->geometry()));
    for (QWidget *w : s->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY2(w == read || !w->isVisible() || !w->geometry().intersects(read->geometry()),
                 qPrintable(w->objectName()));
    for (int a = 0; a < controls.size(); ++a)
        for (int b = a + 1; b < controls.size(); ++b)
            QVERIFY2(!controls[a]->geometry().intersects(controls[b]->geometry()),
                     qPrintable(controls[a]->objectName() + QStringLiteral(" / ") + controls[b]->objectName()));

    // The longest example shows whole, without scrolling.
    const QStringList longest = {"permorvello\\alleg2.rtf", "permorvello\\alleg3.rtf", "permorvello\\enja2.rtf"};
    for (const QString &file : longest) {
        QVERIFY(s->exampleView()->loadFile(file, f.tc.base()).ok);
        emit s->laidOut();
        QCoreApplication::processEvents();
        QVERIFY2(s->exampleView()->document()->size().height() <= s->exampleView()->viewport()->height(),
                 qPrintable(file));
        // Verses stay whole: a line broken by the view would hide where
        // the verse itself breaks.
        if (file.contains(QLatin1String("enja")))
            for (QTextBlock b = s->exampleView()->document()->begin(); b.isValid(); b = b.next())
                QCOMPARE(b.layout()->lineCount(), 1);
    }
}

QTEST_MAIN(TstMetaforeScreen)
#include "tst_metaforescreen.moc"
