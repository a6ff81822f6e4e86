#pragma once
// An indeterminate progress indicator: a spinning wheel while animating, nothing when stopped.
#include <QTimer>
#include <QWidget>

namespace vm {

class ProgressIndicator : public QWidget {
public:
    explicit ProgressIndicator(QWidget* parent = nullptr);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return timer_.isActive(); }

    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

}  // namespace vm
