#include "app/windows/ViewSplit.h"

#include <algorithm>

namespace vm {

namespace {

// Below this the two views are too small to read.
constexpr int kMinimumHeight = 160;

}  // namespace

ViewSplit::ViewSplit(QWidget* panadapterArea, QWidget* waterfallArea, QWidget* parent)
    : QWidget(parent), panadapterArea_(panadapterArea), waterfallArea_(waterfallArea) {
    setObjectName(QStringLiteral("viewSplit"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (QWidget* area : {panadapterArea_, waterfallArea_}) {
        area->setParent(this);
        // A share of 0 or 100 leaves one of them with no height at all.
        area->setMinimumHeight(0);
    }
}

void ViewSplit::setWaterfallShare(int percent) {
    share_ = std::clamp(percent, 0, 100);
    layOut();
}

int ViewSplit::panadapterHeight(int percent, int height) {
    return static_cast<int>((100 - std::clamp(percent, 0, 100)) / 100.0 * height);
}

QSize ViewSplit::sizeHint() const { return {800, 2 * kMinimumHeight}; }

QSize ViewSplit::minimumSizeHint() const { return {0, kMinimumHeight}; }

void ViewSplit::resizeEvent(QResizeEvent*) { layOut(); }

void ViewSplit::layOut() {
    const int panHeight = panadapterHeight(share_, height());
    panadapterArea_->setGeometry(0, 0, width(), panHeight);
    waterfallArea_->setGeometry(0, panHeight, width(), height() - panHeight);
}

}  // namespace vm
