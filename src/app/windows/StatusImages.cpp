#include "app/windows/StatusImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <map>

namespace vm {

namespace {

constexpr int kSize = 128;

QImage blank() {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A lamp: a ball lit from the upper left.
QImage ball(const QColor& colour) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(kSize * 0.38, kSize * 0.34, kSize * 0.62);
    light.setColorAt(0, colour.lighter(170));
    light.setColorAt(0.55, colour);
    light.setColorAt(1, colour.darker(190));
    p.setBrush(light);
    p.setPen(QPen(colour.darker(250), kSize * 0.03));
    p.drawEllipse(QRectF(6, 6, kSize - 12, kSize - 12));
    return image;
}

// The transmit button's face: lit red while transmitting, dark red otherwise.
// Wide, so that it fills a button with a word on it.
QImage buttonFace(const QColor& top, const QColor& bottom) {
    QImage image(kSize * 5 / 2, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, kSize);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(bottom.darker(200), kSize * 0.04));
    p.drawRoundedRect(QRectF(4, 4, image.width() - 8, kSize - 8), kSize * 0.22, kSize * 0.22);
    return image;
}

QImage play(const QColor& colour) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(kSize * 0.28, kSize * 0.18);
    triangle.lineTo(kSize * 0.84, kSize * 0.5);
    triangle.lineTo(kSize * 0.28, kSize * 0.82);
    triangle.closeSubpath();
    p.fillPath(triangle, colour);
    return image;
}

enum class Glyph { save, plus, remove, go };

QImage glyph(Glyph kind, const QColor& colour) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, kSize * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const double a = kSize * 0.22, b = kSize * 0.78, m = kSize * 0.5;
    switch (kind) {
        case Glyph::save:  // a tray with an arrow into it
            p.drawLine(QPointF(m, a), QPointF(m, kSize * 0.62));
            p.drawPolyline(QPolygonF({QPointF(kSize * 0.34, kSize * 0.47), QPointF(m, kSize * 0.63),
                                      QPointF(kSize * 0.66, kSize * 0.47)}));
            p.drawPolyline(QPolygonF({QPointF(a, kSize * 0.64), QPointF(a, b), QPointF(b, b),
                                      QPointF(b, kSize * 0.64)}));
            break;
        case Glyph::plus:
            p.drawLine(QPointF(m, a), QPointF(m, b));
            p.drawLine(QPointF(a, m), QPointF(b, m));
            break;
        case Glyph::remove: p.drawLine(QPointF(a, m), QPointF(b, m)); break;
        case Glyph::go:  // an arrow to the right
            p.drawLine(QPointF(a, m), QPointF(b, m));
            p.drawPolyline(QPolygonF(
                {QPointF(kSize * 0.55, a + 6), QPointF(b, m), QPointF(kSize * 0.55, b - 6)}));
            break;
    }
    return image;
}

}  // namespace

QImage statusImageNamed(const std::string& name) {
    static const std::map<std::string, QImage (*)()> kImages{
        {"green_ball", [] { return ball(QColor(40, 200, 70)); }},
        {"gray_ball", [] { return ball(QColor(140, 140, 145)); }},
        {"yellow_ball", [] { return ball(QColor(240, 200, 30)); }},
        {"red_ball", [] { return ball(QColor(225, 45, 40)); }},
        {"blue_ball", [] { return ball(QColor(50, 120, 235)); }},
        {"orange_ball", [] { return ball(QColor(245, 140, 30)); }},
        {"red_button", [] { return buttonFace(QColor(255, 90, 80), QColor(200, 20, 20)); }},
        {"red_button_dark", [] { return buttonFace(QColor(120, 40, 40), QColor(70, 20, 20)); }},
        {"play_green", [] { return play(QColor(40, 200, 70)); }},
        {"play_black", [] { return play(QColor(30, 30, 30)); }},
        {"save", [] { return glyph(Glyph::save, QColor(60, 60, 64)); }},
        {"plus", [] { return glyph(Glyph::plus, QColor(60, 60, 64)); }},
        {"delete", [] { return glyph(Glyph::remove, QColor(60, 60, 64)); }},
        {"go_512x512", [] { return glyph(Glyph::go, QColor(60, 60, 64)); }},
        {"save_light", [] { return glyph(Glyph::save, QColor(225, 225, 230)); }},
        {"plus_light", [] { return glyph(Glyph::plus, QColor(225, 225, 230)); }},
        {"delete_light", [] { return glyph(Glyph::remove, QColor(225, 225, 230)); }},
        {"go_512x512_light", [] { return glyph(Glyph::go, QColor(225, 225, 230)); }},
    };
    const auto it = kImages.find(name);
    return it == kImages.end() ? QImage() : it->second();
}

}  // namespace vm
