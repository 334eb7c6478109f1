// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/catalogues.h"
#include "narrative/genetteconcepts.h"
#include "narrative/storycatalogue.h"
#include "poetry/metaforequiz.h"
#include "poetry/poesiacatalogue.h"
#include "sequences/catalogue.h"

#include <QTest>

using namespace morvello;
using namespace morvello::content;

// The tables the program was built with say what the catalogues of content/
// say, field by field: nothing lost or bent on the way through C++ (quotes,
// backslashes, spacing), nothing left from an older build.

namespace {

enum class Table { Expository, Narrative, Stories, Concepts, Poems, Figures };

const Catalogues &sources()
{
    static const Catalogues c = readCatalogues(QStringLiteral(MORVELLO_SOURCE_DIR "/content"));
    return c;
}

QStringList compiled(const Catalogue &c)
{
    QStringList l = c.types;
    for (const CatalogueText &t : c.texts) {
        l << t.choice << t.source.value_or(QStringLiteral("(nessuna)"));
        for (const SequenceItem &s : t.sequences)
            l << s.text << QString::number(s.divisor) << s.type;
    }
    return l;
}

QStringList written(const PassageCatalogue &c)
{
    QStringList l = c.types;
    for (const Passage &p : c.passages) {
        l << p.choice << p.source.value_or(QStringLiteral("(nessuna)"));
        for (const PassageSequence &s : p.sequences)
            l << s.text << QString::number(s.divisor) << s.type;
    }
    return l;
}

QString dataName(const QString &name)
{
    return QStringLiteral("permorvello\\") + name + QStringLiteral(".rtf");
}

QStringList compiledTable(Table t)
{
    QStringList l;
    switch (t) {
    case Table::Expository:
        return compiled(expositoryCatalogue());
    case Table::Narrative:
        return compiled(narrativeCatalogue());
    case Table::Stories:
        for (const StoryEntry &e : storyCatalogue())
            l << e.title << QString::number(e.sequences) << e.storyFile << e.solutionFile << e.helpFile << e.source;
        break;
    case Table::Concepts:
        for (const GenetteConcept &c : genetteConcepts()) {
            l << c.button << c.buttonCaption << c.concetto << c.caption << c.filePrefix << c.problem << c.options;
            for (int k : c.key)
                l << QString::number(k);
        }
        break;
    case Table::Poems:
        for (const poesia::Poem &p : poesia::poems()) {
            l << QString::number(p.number) << p.file << p.title << p.source << p.solutions;
            for (int n : {p.rispLessico, p.rispVersi, p.rispRime, p.rispMusicalita, p.rispMessaggio})
                l << QString::number(n);
            for (const QString &s : p.sentences)
                l << s;
        }
        break;
    case Table::Figures:
        l << figureCaptions() << definitionTexts();
        for (int n = 1; n <= ExampleCount; ++n) {
            const std::optional<FigureExample> e = figureExample(n);
            l << (e ? QStringLiteral("%1 %2 %3").arg(e->file, e->figure).arg(e->definition) : QStringLiteral("-"));
        }
        break;
    }
    return l;
}

QStringList writtenTable(Table t)
{
    const Catalogues &c = sources();
    QStringList l;
    switch (t) {
    case Table::Expository:
        return written(c.expository);
    case Table::Narrative:
        return written(c.narrative);
    case Table::Stories:
        for (const Story &s : c.stories)
            l << s.title << QString::number(s.sequences) << dataName(s.file) << dataName(s.file + QStringLiteral("col"))
              << dataName(s.help) << s.source;
        break;
    case Table::Concepts:
        for (const Concept &k : c.concepts) {
            l << QStringLiteral("Cmd") + k.name << k.name << k.name << k.caption << k.prefix << k.problem << k.options;
            for (int n : k.key)
                l << QString::number(n);
        }
        break;
    case Table::Poems:
        for (int i = 0; i < c.poems.size(); ++i) {
            const PoemEntry &p = c.poems.at(i);
            l << QString::number(i + 1) << dataName(p.file) << p.title << p.source << p.boxes;
            for (int n : {p.lessico, p.versi, p.rime, p.musicalita, p.meaning})
                l << QString::number(n);
            l << p.sentences;
        }
        break;
    case Table::Figures: {
        QStringList definitions(c.figures.size());
        QStringList examples(ExampleCount, QStringLiteral("-"));
        for (const Figure &f : c.figures) {
            l << f.name;
            definitions[f.definition] = f.definitionText;
            for (int k = 0; k < 3; ++k)
                examples[f.draws[size_t(k)] - 1] =
                    QStringLiteral("%1 %2 %3").arg(dataName(f.prefix + QString::number(k + 1)), f.name).arg(f.definition);
        }
        l << definitions << examples;
        break;
    }
    }
    return l;
}

} // namespace

class TstCompiledTables : public QObject
{
    Q_OBJECT
private slots:
    void tablesAreTheCatalogues_data();
    void tablesAreTheCatalogues();
};

void TstCompiledTables::tablesAreTheCatalogues_data()
{
    QTest::addColumn<int>("table");
    QTest::newRow("sequenze/espositivo.dati") << int(Table::Expository);
    QTest::newRow("sequenze/narrativo.dati") << int(Table::Narrative);
    QTest::newRow("storie/catalogo.dati") << int(Table::Stories);
    QTest::newRow("genette/catalogo.dati") << int(Table::Concepts);
    QTest::newRow("poesie/catalogo.dati") << int(Table::Poems);
    QTest::newRow("figure/catalogo.dati") << int(Table::Figures);
}

void TstCompiledTables::tablesAreTheCatalogues()
{
    QFETCH(int, table);
    QVERIFY2(sources().errors.isEmpty(), qPrintable(sources().errors.join('\n')));
    const QStringList built = compiledTable(Table(table));
    QVERIFY(!built.isEmpty());
    QCOMPARE(built, writtenTable(Table(table)));
}

QTEST_MAIN(TstCompiledTables)
#include "tst_compiledtables.moc"
