#include "app/windows/TransverterPrefsPage.h"

#include "app/windows/WidgetKit.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

TransverterPrefsPage::TransverterPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* layout = new QVBoxLayout(this);
    xvtrTabView = new QTabWidget(this);
    xvtrTabView->setObjectName(QStringLiteral("xvtrTabView"));
    xvtrTabView->setMinimumHeight(200);
    layout->addWidget(xvtrTabView, 1);
    auto* buttons = new QHBoxLayout;
    xvtrAddButton = imageButton(this, QStringLiteral("xvtrAddButton"));
    xvtrDeleteButton = imageButton(this, QStringLiteral("xvtrDeleteButton"));
    xvtrSelectButton = imageButton(this, QStringLiteral("xvtrSelectButton"));
    xvtrAddButton->setToolTip(QStringLiteral("New transverter"));
    for (ImageButton* b : {xvtrAddButton, xvtrDeleteButton, xvtrSelectButton}) {
        b->setFixedSize(28, 28);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void TransverterPrefsPage::setButtonImages(const QImage& add, const QImage& remove,
                                           const QImage& go) {
    xvtrAddButton->setImage(add);
    xvtrDeleteButton->setImage(remove);
    xvtrSelectButton->setImage(go);
}

}  // namespace vm
