// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequencescreen.h"

#include "sequences/sequencescreens.h"

namespace morvello {

SequenceScreenConfig espositivoConfig()
{
    SequenceScreenConfig c;
    c.name = sequencescreens::Espositivo;
    c.caption = QStringLiteral("TESTO ESPOSITIVO");
    c.background = QColor(0x80, 0x80, 0x80);
    c.catalogue = &expositoryCatalogue();
    c.group = FieldGroup::Espositivi;
    // The chooser and "RISULTATO".
    c.rowsBottom = 4920;

    c.dropLeft = 7440;
    // The box and the answer share what lies right of the passage, wide
    // enough for the longest function on two lines at a legible size.
    c.dropWidth = 2115;
    c.dropBold = false;
    c.dropItalic = false;

    c.answerArray = QStringLiteral("Label18");
    c.answerLeft = 9615;
    c.answerWidth = 2175;
    c.answerBordered = true;
    c.answerAlignment = Qt::AlignCenter;

    c.typeBackground = QColor(0xFF, 0x00, 0xFF);
    c.typeLabels = {
        {QStringLiteral("Label14"), QStringLiteral("Ipotizza"), QRect(240, 5400, 1935, 375)},
        {QStringLiteral("Label15"), QStringLiteral("Richiama"), QRect(240, 5760, 1935, 375)},
        {QStringLiteral("Label19"), QStringLiteral("Esemplifica"), QRect(2160, 5400, 1935, 375)},
        {QStringLiteral("Label13"), QStringLiteral("Definisce"), QRect(2160, 5760, 1935, 375)},
        {QStringLiteral("Label10"), QStringLiteral("Pone il problema"), QRect(4080, 5400, 1575, 735)},
        {QStringLiteral("Label9"), QStringLiteral("Illustra una conseguenza"), QRect(5640, 5400, 1695, 735)},
        {QStringLiteral("Label17"), QStringLiteral("Informa racconta descrive confronta"),
         QRect(7320, 5400, 2175, 735)},
        {QStringLiteral("Label16"), QStringLiteral("Spiega la causa conclude dà soluzione"),
         QRect(9480, 5400, 2175, 735)},
    };

    c.instructionsName = QStringLiteral("Label21");
    c.instructionsGeometry = QRect(240, 6840, 7095, 1215);
    c.instructionsText = QStringLiteral(
        "Quali funzioni comunicative svolgono le sequenze colorate? Trovale e trascina le funzioni viola "
        "nelle caselline colorate a destra del testo. Puoi anche fare clic su una funzione e poi sulla "
        "casellina.");

    c.sourceGeometry = QRect(240, 6480, 7215, 255);
    c.sourceColor = QColor(0xFF, 0xFF, 0xFF);

    c.comboGeometry = QRect(7440, 4920, 2115, 315);
    c.comboText = QColor(0xFF, 0xFF, 0xFF);
    c.comboPrompt = QStringLiteral("Scegli un testo");

    c.checkGeometry = QRect(9720, 4920, 1935, 375);

    c.label4Geometry = QRect(7560, 6240, 1575, 255);
    c.label4Text = QStringLiteral("Attuale          su");
    c.label5Geometry = QRect(7440, 6480, 1695, 255);
    c.label5Text = QStringLiteral("  Totale           su");
    c.rightLeft = 8160;
    c.totalLeft = 9000;
    c.lastTop = 6240;
    c.visitTop = 6480;

    c.menu = {QStringLiteral("CmdMenù"), QStringLiteral("MENU'"), QRect(7560, 6840, 4095, 485)};
    c.archive = {QStringLiteral("CmdArchivio"), QStringLiteral("Archivio dei risultati"),
                 QRect(7560, 7320, 2175, 495)};
    c.fine = {QStringLiteral("cmdfine"), QStringLiteral("Esco"), QRect(9720, 7320, 1935, 495)};
    c.hasRegister = false;
    return c;
}

SequenceScreenConfig sequenzeConfig()
{
    SequenceScreenConfig c;
    c.name = sequencescreens::Sequenze;
    c.caption = QStringLiteral("Testo NARRATIVO ");
    c.background = QColor(0x00, 0x00, 0x00);
    c.catalogue = &narrativeCatalogue();
    c.group = FieldGroup::TipoSequenze;
    // The type labels ("RISULTATO" beside them reaches a little higher).
    c.rowsBottom = 5400;

    c.dropLeft = 7440;
    c.dropWidth = 2055;
    c.dropBold = true;
    c.dropItalic = true;

    c.answerArray = QStringLiteral("Label10");
    c.answerBordered = false;
    c.answerAlignment = Qt::AlignLeft | Qt::AlignVCenter;

    c.typeBackground = QColor(0x80, 0x80, 0xFF);
    c.typeLabels = {
        {QStringLiteral("Label14"), QStringLiteral("Riflessiva"), QRect(960, 5400, 2055, 375)},
        {QStringLiteral("Label13"), QStringLiteral("Dialogica"), QRect(3120, 5400, 2055, 375)},
        {QStringLiteral("Label12"), QStringLiteral("Descrittiva"), QRect(5280, 5400, 2055, 375)},
        {QStringLiteral("Label11"), QStringLiteral("Narrativa"), QRect(7440, 5400, 2055, 375)},
    };

    c.instructionsName = QStringLiteral("Label9");
    c.instructionsGeometry = QRect(240, 6480, 7095, 1215);
    c.instructionsText = QStringLiteral(
        "Il testo è diviso in sequenze narrative, descrittive, riflessive o dialogiche. Riconoscile e "
        "trascina le caselle azzurre su quelle colorate a destra del testo. Puoi anche fare clic su una "
        "casella azzurra e poi su quella colorata.");

    c.sourceGeometry = QRect(120, 7800, 7215, 255);
    c.sourceColor = QColor(0xFF, 0xC0, 0xC0);

    c.comboGeometry = QRect(5280, 5880, 2055, 315);
    c.comboText = QColor(0xC0, 0xC0, 0xFF);
    c.comboPrompt = QStringLiteral("Scegli il testo...");

    c.checkGeometry = QRect(9720, 5280, 1935, 495);

    c.label4Geometry = QRect(9720, 5880, 1455, 255);
    c.label4Text = QStringLiteral("Attuale         su");
    c.label5Geometry = QRect(9600, 6120, 1815, 255);
    c.label5Text = QStringLiteral("  Totale          su");
    c.rightLeft = 10440;
    c.totalLeft = 11280;
    c.lastTop = 5880;
    c.visitTop = 6120;

    c.menu = {QStringLiteral("CmdMenù"), QStringLiteral("MENU'"), QRect(9720, 6480, 1935, 495)};
    c.archive = {QStringLiteral("cmdarchiv"), QStringLiteral("Archivio dei risultati"),
                 QRect(7440, 7080, 2055, 495)};
    c.fine = {QStringLiteral("cmdfine"), QStringLiteral("Esco"), QRect(9720, 7080, 1935, 495)};
    c.hasRegister = true;
    c.registro = {QStringLiteral("CMDREGISTRO"), QStringLiteral("Registro il risultato"),
                  QRect(7440, 6480, 2055, 495)};
    return c;
}

Screen *sequencescreens::createEspositivo(const ScreenEnv &env)
{
    return new SequenceScreen(env, espositivoConfig());
}

Screen *sequencescreens::createSequenze(const ScreenEnv &env)
{
    return new SequenceScreen(env, sequenzeConfig());
}

} // namespace morvello
