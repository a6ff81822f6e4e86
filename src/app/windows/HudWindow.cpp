#include "app/windows/HudWindow.h"

#include <QHBoxLayout>

namespace vm {

using namespace kit;

HudWindow::HudWindow(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("hud"));
    setWindowFlag(Qt::Tool);
    setFloating(true);
    setMouseTracking(true);
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(10, 6, 10, 6);
    s_meter_level_indicator = levelIndicator(central, QStringLiteral("s_meter_level_indicator"));
    s_meter_level_indicator->setMinValue(0);
    s_meter_level_indicator->setMaxValue(32);
    s_meter_level_indicator->setWarningValue(18);
    s_meter_level_indicator->setCriticalValue(27);
    s_meter_level_indicator->setMinimumWidth(260);
    s_meter_text = label(central, QStringLiteral("s_meter_text"), QStringLiteral("S0"));
    QFont large = s_meter_text->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    s_meter_text->setFont(large);
    s_meter_text->setMinimumWidth(QFontMetrics(large).horizontalAdvance(QStringLiteral("S9+60  ")));
    hudRitButton = imageButton(central, QStringLiteral("hudRitButton"));
    hudXitButton = imageButton(central, QStringLiteral("hudXitButton"));
    layout->addWidget(s_meter_level_indicator, 1);
    layout->addWidget(s_meter_text);
    for (auto [button, caption] :
         {std::pair{hudRitButton, "RIT"}, std::pair{hudXitButton, "XIT"}}) {
        button->setCheckable(true);
        button->setFixedSize(22, 22);
        layout->addWidget(button);
        layout->addWidget(new QLabel(QString::fromLatin1(caption), central));
    }
    setCentralWidget(central);
    resize(520, 56);
}

}  // namespace vm
