#pragma once
// The panadapter's grid and its labels as a picture of their own, drawn once and put over every
// frame's trace while nothing it shows changes (the span, the level range, the tick settings, the
// size, the pixel ratio, the labels' font and colour). Stroking the thin lines and laying out the
// label text cost a paint more than the trace does.
//
// The picture is mostly clear, and blending all of it would cost about as much as drawing the
// grid: only the rectangles the grid was drawn in (its "ink", which the drawing reports) are put
// over the frame.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QRegion>
#include <QSize>

#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace vm {

class PanadapterGridLayer {
public:
    // Everything the picture depends on.
    struct Inputs {
        QSize size;
        double pixelRatio = 1;
        double center = 0;
        double span = 0;
        double minDbm = 0;
        double maxDbm = 0;
        int horizontalTicks = 0;
        int verticalTicks = 0;
        QFont font;
        QColor textColor;
        bool operator==(const Inputs&) const = default;
    };
    // Paints the grid in widget coordinates of a view of `Inputs::size` and adds to `ink` the
    // widget rectangles that hold every pixel it touched.
    using Draw = std::function<void(QPainter& painter, std::vector<QRectF>& ink)>;

    // Puts the picture for `inputs` over what `painter` holds, at its origin; first has `draw`
    // paint a new picture when `inputs` differ from those of the last one.
    void paint(QPainter& painter, const Inputs& inputs, const Draw& draw);

    // Pictures drawn so far, and the last one.
    int redraws() const { return redraws_; }
    const QImage& picture() const { return picture_; }

private:
    void redraw(const Inputs& inputs, const Draw& draw);

    std::optional<Inputs> drawn_;
    QImage picture_;
    QRegion ink_;  // pixels of the picture
    int redraws_ = 0;
};

}  // namespace vm
