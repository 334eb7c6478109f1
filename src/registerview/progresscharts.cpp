// SPDX-License-Identifier: GPL-3.0-or-later
#include "progresscharts.h"

#include "palette.h"
#include "core/resultgroups.h"
#include "register/reportcontent.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QDateTimeAxis>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>

namespace morvello {

namespace {

QFont chartFont(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void styleAxis(QAbstractAxis *axis)
{
    axis->setLabelsFont(chartFont(12));
    axis->setTitleFont(chartFont(13, true));
}

void styleChart(QChart *chart)
{
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitleFont(chartFont(16, true));
    chart->legend()->setFont(chartFont(12));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
}

} // namespace

QColor groupColour(int group)
{
    // Black first would read as the axes: it goes last.
    static const QColor colours[] = {QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9), QColor(0x00, 0x9E, 0x73),
                                     QColor(0xD5, 0x5E, 0x00), QColor(0x00, 0x72, 0xB2), QColor(0xCC, 0x79, 0xA7),
                                     QColor(0xB8, 0xA2, 0x00), QColor(0x00, 0x00, 0x00)};
    return colours[qBound(0, group, 7)];
}

QChart *pupilChart(const PupilProgress &progress)
{
    auto *chart = new QChart;
    styleChart(chart);
    chart->setTitle(QStringLiteral("Tentativi nel tempo"));
    // Eight names do not fit in a row under the chart.
    chart->legend()->setAlignment(Qt::AlignRight);

    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd/MM/yy"));
    time->setTitleText(QStringLiteral("Data"));
    time->setTickCount(6);
    QDateTime first = progress.first;
    QDateTime last = progress.last;
    if (!first.isValid()) {
        last = QDateTime(QDate::currentDate(), QTime(0, 0));
        first = last.addDays(-30);
    }
    // A day either side, so that the first and last points sit inside.
    time->setRange(first.addDays(-1), last.addDays(1));
    styleAxis(time);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(6);
    percent->setLabelFormat(QStringLiteral("%d"));
    percent->setTitleText(QStringLiteral("Percentuale"));
    styleAxis(percent);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);

    const QVector<ResultGroup> &groups = resultGroups();
    for (int g = 0; g < groups.size() && g < progress.groups.size(); ++g) {
        auto *line = new QLineSeries;
        line->setName(shortGroupCaption(g));
        QList<QPointF> points;
        points.reserve(progress.groups.at(g).size());
        for (const ProgressPoint &p : progress.groups.at(g))
            points.append(QPointF(double(p.moment.toMSecsSinceEpoch()), p.percent));
        line->replace(points);
        QPen pen(groupColour(g));
        pen.setWidthF(2);
        line->setPen(pen);
        // Dots help to count a few attempts; hundreds only blur the line.
        line->setPointsVisible(points.size() <= 100);
        chart->addSeries(line);
        line->attachAxis(time);
        line->attachAxis(percent);
        // A group never tried stays out of the legend.
        if (points.isEmpty())
            chart->legend()->markers(line).value(0)->setVisible(false);
    }
    return chart;
}

QChart *classChart(const QVector<QVector<int>> &counts)
{
    auto *chart = new QChart;
    styleChart(chart);
    chart->setTitle(QStringLiteral("Ultimo risultato degli alunni, per attività"));
    auto *series = new QStackedBarSeries;
    const QVector<ResultBand> &bands = resultBands();
    int tallest = 0;
    for (const QVector<int> &g : counts) {
        int sum = 0;
        for (int n : g)
            sum += n;
        tallest = qMax(tallest, sum);
    }
    for (int b = 0; b < bands.size(); ++b) {
        auto *set = new QBarSet(bands.at(b).label);
        const QColor back = scaleColour(bands.at(b).middle());
        set->setColor(back);
        set->setBorderColor(Qt::white);
        set->setLabelColor(textOn(back));
        set->setLabelFont(chartFont(12, true));
        for (const QVector<int> &g : counts)
            set->append(b < g.size() ? g.at(b) : 0);
        series->append(set);
    }
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto *groupsAxis = new QBarCategoryAxis;
    QStringList captions;
    for (int g = 0; g < counts.size(); ++g)
        captions << shortGroupCaption(g).replace(QLatin1Char(' '), QStringLiteral("<br>"));
    groupsAxis->append(captions);
    styleAxis(groupsAxis);
    auto *pupils = new QValueAxis;
    pupils->setRange(0, qMax(1, tallest));
    pupils->setLabelFormat(QStringLiteral("%d"));
    pupils->setTickCount(qMin(qMax(1, tallest), 10) + 1);
    pupils->setTitleText(QStringLiteral("Alunni"));
    styleAxis(pupils);
    chart->addAxis(groupsAxis, Qt::AlignBottom);
    chart->addAxis(pupils, Qt::AlignLeft);
    series->attachAxis(groupsAxis);
    series->attachAxis(pupils);
    return chart;
}

void drawChart(QChart &chart, QPainter &painter, const QRectF &target, const QSizeF &layoutSize)
{
    QGraphicsScene scene;
    scene.addItem(&chart);
    chart.resize(layoutSize);
    scene.setSceneRect(QRectF(QPointF(0, 0), layoutSize));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
    painter.restore();
    // The chart belongs to the caller, not to this scene.
    scene.removeItem(&chart);
}

} // namespace morvello
