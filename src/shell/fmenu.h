// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "activities.h"

#include "kit/labels.h"
#include "kit/screen.h"

#include <QVector>

class QCheckBox;
class QListWidget;
class QListWidgetItem;

namespace morvello {

class AppHost;
class Ticker;

// The main menu "Scegli": start-up screen, lives for the whole run.
class FMenu : public Screen
{
    Q_OBJECT
public:
    // The activity labels open what the rows name for them; a label no row
    // names does nothing.
    FMenu(AppHost &host, const QVector<Activity> &rows);

    void formLoad() override;

    // Handlers.
    // An activity's label: opens the registry's screen for it.
    void openActivity(const QString &menuLabel);
    void Labarchivio_Click();
    void Labesco_Click();
    void LabNOMI_Click();
    void List1_Click(int row);
    // An addition: the teacher's guide.
    void LabGuida_Click();
    // An addition: the high-legibility look of passages, for this pupil.
    void ChkLeggibile_Click(bool on);
    QCheckBox *legibleSwitch() const { return m_leggibile; }
    static QString legibleCaption() { return QStringLiteral("Testo più leggibile"); }
    // Reaching the voice takes the speech server over a second (it lists
    // every voice it has): begun this long after the menu shows, in the
    // background, it is over before a pupil has opened a passage, and the
    // program's start and the menu's first drawing are not slowed.
    static constexpr int kWarmVoiceMs = 400;

    // The eight hover-sensitive labels, for the hover rules and tests.
    const QVector<CommandLabel *> &commandLabels() const { return m_commands; }
    CommandLabel *command(const QString &name) const;
    ClickLabel *labNomi() const { return m_labNomi; }
    ClickLabel *labGuida() const { return m_labGuida; }
    QListWidget *list1() const { return m_list; }

    void paintDecoration(QPainter &p, const QRect &area) override;

    static QString primaRigaIniziale() { return QStringLiteral("Clicca su questa riga per nascondere l'elenco!"); }
    static QString primaRigaSuccessiva() { return QStringLiteral("Clicca qui per nascondere l'elenco"); }

protected:
    void showEvent(QShowEvent *e) override;
    void formMouseMove() override;
    void titleBarClose() override;

private:
    void buildActivities();
    CommandLabel *addCommand(const QString &name, const QString &caption, const QColor &resting,
                             const QString &family, double points, const QRect &twips);
    StyledLabel *addHeading(const QString &name, const QString &caption, const QColor &color,
                            const QString &family, double points, bool bold, const QRect &twips);

    AppHost &m_host;
    QVector<Activity> m_rows;
    QVector<CommandLabel *> m_commands;
    ClickLabel *m_labNomi = nullptr;
    ClickLabel *m_labGuida = nullptr;
    QListWidget *m_list = nullptr;
    QCheckBox *m_leggibile = nullptr;
    Ticker *m_warmVoice = nullptr;
};

} // namespace morvello
