// SPDX-License-Identifier: GPL-3.0-or-later
// morvello-pictures: draws the right and wrong answer pictures.
//
//   morvello-pictures OUT_DIR   writes OUT_DIR/giusto.jpg and OUT_DIR/sbagliato.jpg
//
// The screens show them in a box of about 65 pixels; they are drawn at twice
// that so they stay sharp when scaled.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int Side = 128;

// A light round badge with a soft rim, the mark drawn over it with a darker
// outline so that it reads on light and dark screens alike.
QImage badge(const QColor &ground, const QColor &rim)
{
    QImage img(Side, Side, QImage::Format_RGB32);
    img.fill(QColor(250, 250, 246));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(Side * 0.42, Side * 0.38), Side * 0.62);
    g.setColorAt(0, ground.lighter(108));
    g.setColorAt(1, ground);
    p.setBrush(g);
    p.setPen(QPen(rim, 5));
    p.drawEllipse(QRectF(6.5, 6.5, Side - 13, Side - 13));
    return img;
}

void strokeTwice(QPainter &p, const QPainterPath &path, const QColor &outline, const QColor &fill, qreal width)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, width + 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(fill, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

QImage tick()
{
    QImage img = badge(QColor(226, 246, 226), QColor(120, 190, 120));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(34, 67);
    path.lineTo(55, 89);
    path.lineTo(95, 40);
    strokeTwice(p, path, QColor(20, 110, 40), QColor(46, 170, 70), 14);
    return img;
}

QImage cross()
{
    QImage img = badge(QColor(252, 230, 228), QColor(215, 130, 125));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(41, 41);
    path.lineTo(87, 87);
    path.moveTo(87, 41);
    path.lineTo(41, 87);
    strokeTwice(p, path, QColor(150, 20, 20), QColor(220, 45, 40), 14);
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1) {
        std::fputs("Uso: morvello-pictures CARTELLA_DATI\n", stderr);
        return 2;
    }
    const QDir out(args.first());
    bool ok = tick().save(out.filePath(QStringLiteral("giusto.jpg")), "JPG", 90);
    ok = cross().save(out.filePath(QStringLiteral("sbagliato.jpg")), "JPG", 90) && ok;
    if (!ok) {
        std::fputs("morvello-pictures: non riesco a scrivere le immagini\n", stderr);
        return 1;
    }
    return 0;
}
