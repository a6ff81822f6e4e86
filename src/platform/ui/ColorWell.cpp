#include "platform/ui/ColorWell.h"

#include "platform/core/Defaults.h"
#include "platform/ui/Colors.h"

#include <QColorDialog>
#include <QPainter>

namespace vm {

ColorWell::ColorWell(QWidget* parent) : QPushButton(parent) {
    setMinimumSize(44, 24);
    connect(this, &QPushButton::clicked, this, &ColorWell::openDialog);
}

void ColorWell::setColor(const QColor& color) {
    color_ = color;
    update();
}

std::optional<QColor> ColorWell::setColorWithPrefKey(const std::string& key,
                                                     const std::optional<QColor>& defaultColor) {
    std::optional<QColor> color;
    if (!key.empty()) {
        if (auto stored = Defaults::standard().object(key)) {
            color = colors::fromPlist(*stored);
        }
    }
    if (!color) {
        color = defaultColor;
    }
    if (color) {
        setColor(*color);
    }
    return color;
}

QColor ColorWell::saveColorWithKey(const std::string& key) {
    if (!key.empty()) {
        Defaults::standard().set(key, colors::toPlist(color_));
    }
    return color_;
}

void ColorWell::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(6, 6, -6, -6);
    painter.fillRect(swatch, color_);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void ColorWell::openDialog() {
    if (dialog_) {
        dialog_->raise();
        return;
    }
    dialog_ = new QColorDialog(color_, this);
    dialog_->setOption(QColorDialog::ShowAlphaChannel);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &QColorDialog::colorSelected, this, [this](const QColor& chosen) {
        setColor(chosen);
        sendAction();
    });
    connect(dialog_, &QObject::destroyed, this, [this] { dialog_ = nullptr; });
    dialog_->open();
}

}  // namespace vm
