// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of every screen for a human eye, at the two classroom display
// sizes: set MORVELLO_SHOTS_DIR to write them.
#include "kit/reader.h"
#include "poetry/fpoesia1.h"
#include "poetry/metaforescreen.h"
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QtTest>

using namespace morvello;

class TestScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void everyScreen()
    {
        const QString dir = qEnvironmentVariable("MORVELLO_SHOTS_DIR");
        if (dir.isEmpty())
            QSKIP("MORVELLO_SHOTS_DIR not set");
        test::TestContext t;
        t.copyShippedData();
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        t.registerScreens();
        const QStringList names{ScreenName::Menu,     ScreenName::Espositivo, ScreenName::Sequenze,
                                ScreenName::TrovaSeq, ScreenName::Genette,    ScreenName::Poesia1,
                                ScreenName::Poesia2,  ScreenName::Metafore,   ScreenName::Risultati};
        // Each screen as it first shows, then in the legible look.
        for (const bool legible : {false, true}) {
            for (const QString &name : names) {
                Screen *s = t.navigator->load(name);
                QVERIFY2(s, qPrintable(name));
                if (auto *a = qobject_cast<ActivityScreen *>(s))
                    a->setLegible(legible);
                if (auto *menu = qobject_cast<FMenu *>(s))
                    menu->legibleSwitch()->setChecked(legible);
                for (const QSize &size : {QSize(1280, 1024), QSize(1920, 1080)}) {
                    s->resize(size);
                    QCoreApplication::processEvents();
                    const QString file = QStringLiteral("%1/%2%5-%3x%4.png")
                                             .arg(dir, QString(name).remove(QChar(0xF9)))
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(legible ? QStringLiteral("-leggibile") : QString());
                    QVERIFY(s->grab().save(file));
                }
            }
        }
        // The rows read aloud in the legible look, at the second sentence of
        // the fourth row, scrolled into sight.
        auto *rows = qobject_cast<ActivityScreen *>(t.navigator->load(ScreenName::Sequenze));
        QVERIFY(rows);
        rows->resize(1280, 1024);
        rows->setLegible(true);
        rows->readButton()->press();
        for (int n = 0; n < 4; ++n)
            t.speech.finish();
        QCoreApplication::processEvents();
        QVERIFY(rows->grab().save(dir + QStringLiteral("/Fsequenze-leggibile-lettura-1280x1024.png")));
        rows->readButton()->reader()->stop();

        // The figures with both questions answered, one of them wrongly.
        auto *m = t.navigator->screenAs<MetaforeScreen>(ScreenName::Metafore);
        QVERIFY(m);
        m->resize(1280, 1024);
        m->setLegible(false); // the loop left every screen in the legible look
        m->Option1_Click(0);
        m->Label1_Click((m->quiz().definizioneGiusta() + 1) % 10);
        QCoreApplication::processEvents();
        QVERIFY(m->grab().save(dir + QStringLiteral("/FMetafore-answered-1280x1024.png")));
        // A poem judged, so that its counters show numbers.
        auto *p = t.navigator->screenAs<FPoesia1>(ScreenName::Poesia1);
        QVERIFY(p);
        p->resize(1280, 1024);
        p->setLegible(false);
        for (int box = 0; box < 5; ++box)
            p->Label1_DragDrop(box, nullptr, QStringLiteral("Metafora"));
        p->cmdrisult_Click();
        QCoreApplication::processEvents();
        QVERIFY(p->grab().save(dir + QStringLiteral("/Fpoesia1-answered-1280x1024.png")));
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
