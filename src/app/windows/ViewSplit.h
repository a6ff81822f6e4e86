#pragma once
// The part of a panadapter window that the panadapter view and its waterfall view share: the
// panadapter on top, the waterfall under it, the waterfall taking its share (percent) of the
// height. The panadapter gets (int)((100 - share) / 100 x height), the waterfall the rest, so the
// two always fill the part exactly; the share holds when the window is resized.
#include <QWidget>

namespace vm {

class ViewSplit : public QWidget {
public:
    // Takes both areas as its children; the share starts at half.
    ViewSplit(QWidget* panadapterArea, QWidget* waterfallArea, QWidget* parent = nullptr);

    int waterfallShare() const { return share_; }
    // Held to 0..100; lays the two out again at once.
    void setWaterfallShare(int percent);

    // The panadapter's height for a waterfall share of `percent` in `height` pixels.
    static int panadapterHeight(int percent, int height);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();

    QWidget* panadapterArea_;
    QWidget* waterfallArea_;
    int share_ = 50;
};

}  // namespace vm
