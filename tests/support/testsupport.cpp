// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "storage/schema.h"

#include "kit/accessibility.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <memory>

namespace morvello::test {

static Services makeServices(TestContext &t)
{
    Services s;
    s.dialogs = &t.dialogs;
    s.clock = &t.clock;
    s.random = &t.random;
    s.ticks = &t.ticks;
    s.drive = &t.drive;
    s.speech = &t.speech;
    return s;
}

TestContext::TestContext(bool createDatabase)
    : services(makeServices(*this)), host(std::make_unique<AppHost>(services)), session(host->session())
{
    a11y::install();
    QDir().mkpath(dataDir());
    services.baseDir = dir.path();
    drive.setFolder(dir.path() + QStringLiteral("/floppy"));
    navigator = &host->navigator();
    host->setEnd([this] { ended = true; });
    if (createDatabase) {
        DbError err;
        if (!Database::create(resultsPath(), schema::resultsDatabaseStatements(), &err))
            qFatal("cannot create test database: %s", qPrintable(err.message));
        db = Database::open(resultsPath(), &err);
        if (!db)
            qFatal("cannot open test database: %s", qPrintable(err.message));
        host->setDatabase(db.get());
    }
}

void TestContext::copyShippedData()
{
    const QDir src(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
    for (const QString &sub : {QString(), QStringLiteral("genette")}) {
        const QString to = dataDir() + (sub.isEmpty() ? QString() : QLatin1Char('/') + sub);
        QDir().mkpath(to);
        for (const QFileInfo &fi : QDir(src.filePath(sub)).entryInfoList(QDir::Files))
            QFile::copy(fi.filePath(), to + QLatin1Char('/') + fi.fileName());
    }
}

TestContext::~TestContext()
{
    host.reset();
    db.reset();
}

DbError saveGroup(TestContext &t, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent)
{
    return t.host->save({GroupValues{group, count, total, percent, QVariant()}});
}

DbError saveGroups(TestContext &t, const QVector<GroupValues> &groups)
{
    return t.host->save(groups);
}

DbError registerNarrativeResult(TestContext &t, double right, double total)
{
    return t.host->appendStudentRow(QStringLiteral("Testi narrativi"), right, total);
}

void reportSaveFailure(TestContext &t, const DbError &error)
{
    if (error.isError())
        t.services.tell(ActivityScreen::saveFailedText(error));
}

void whenModalShows(std::function<void(QWidget *)> answer, bool *seen)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, seen, tries] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            if (!QTest::qWaitForWindowExposed(modal))
                qWarning("the dialog %s never came on screen", modal->metaObject()->className());
            if (seen)
                *seen = true;
            answer(modal);
            // An answer cut short by a failed check must not leave the test
            // waiting on the dialog forever.
            if (auto *d = qobject_cast<QDialog *>(modal); d && d->isVisible())
                d->reject();
        } else if (++*tries > 1000) { // ten seconds: give up, the test fails on its own
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

QString shotsFolder()
{
    return qEnvironmentVariable("MORVELLO_SHOTS_DIR");
}

} // namespace morvello::test
