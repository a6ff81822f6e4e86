#pragma once
// Watches a panadapter view's size for its controller. While the view keeps changing size (the
// window is dragged bigger, or the split between panadapter and waterfall moves) the panadapter
// and waterfall views are marked as resizing; once no change has come for `settle`, the marks
// clear and `settled` runs once with the view's final size. The radio renders its spectrum for
// the pixel size it was last told, so the controller tells it then, and only once per resize.
//
// Main thread only. The watch is a child of the view and goes with it.
#include <QObject>
#include <QPointer>
#include <QSize>

#include <chrono>
#include <functional>

namespace vm {

class PanAdapterView;

class PanViewResizeWatch : public QObject {
public:
    using Settled = std::function<void(QSize size)>;

    PanViewResizeWatch(PanAdapterView* view, std::chrono::milliseconds settle, Settled settled);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setResizing(bool on);
    void settle(unsigned change);

    QPointer<PanAdapterView> view_;
    const std::chrono::milliseconds settle_;
    Settled settled_;
    // Counts the size changes; a settling step finds out whether another came after it.
    unsigned changes_ = 0;
};

}  // namespace vm
