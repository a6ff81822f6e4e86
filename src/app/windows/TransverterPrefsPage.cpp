#include "app/windows/TransverterPrefsPage.h"

#include "app/windows/WidgetKit.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/TextField.h"

#include <QFont>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

namespace {

// A transverter's controls stand at fixed places, measured from the bottom left of its view.
constexpr int kViewHeight = 170;

QRect frame(int x, int y, int width, int height) {
    return {x, kViewHeight - y - height, width, height};
}

}  // namespace

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

    connect(xvtrAddButton, &ImageButton::action, this, [this] { emit xvtrAddPressed(); });
    connect(xvtrDeleteButton, &ImageButton::action, this, [this] { emit xvtrDeletePressed(); });
    connect(xvtrSelectButton, &ImageButton::action, this,
            [this] { emit xvtrSelectButtonPressed(); });
    connect(xvtrTabView, &QTabWidget::currentChanged, this, [this](int index) {
        if (!fromCode_ && index >= 0) {
            emit xvtrTabSelected(index);
        }
    });
}

void TransverterPrefsPage::setButtonImages(const QImage& add, const QImage& remove,
                                           const QImage& go) {
    xvtrAddButton->setImage(add);
    xvtrDeleteButton->setImage(remove);
    xvtrSelectButton->setImage(go);
}

// The views go later, not at once: the field whose entry asked for the new tabs is still sending
// its signal. A field still being edited is dropped with its edit, without reporting it in the
// middle of the rebuild.
void TransverterPrefsPage::removeAllTransverterTabs() {
    fromCode_ = true;
    while (xvtrTabView->count() > 0) {
        QWidget* view = xvtrTabView->widget(0);
        for (QWidget* control : view->findChildren<QWidget*>()) {
            control->blockSignals(true);
        }
        xvtrTabView->removeTab(0);
        view->hide();
        view->deleteLater();
    }
    fromCode_ = false;
}

void TransverterPrefsPage::addTransverterTab(const TransverterTabFields& fields) {
    fromCode_ = true;
    xvtrTabView->addTab(transverterView(fields), QString::fromStdString(fields.name));
    fromCode_ = false;
}

int TransverterPrefsPage::transverterTabCount() const { return xvtrTabView->count(); }

int TransverterPrefsPage::selectedTransverterTab() const { return xvtrTabView->currentIndex(); }

void TransverterPrefsPage::selectTransverterTab(int index) {
    fromCode_ = true;
    xvtrTabView->setCurrentIndex(index);
    fromCode_ = false;
}

std::string TransverterPrefsPage::transverterTabIdentifier(int index) const {
    const QWidget* view = xvtrTabView->widget(index);
    return view ? view->property("identifier").toString().toStdString() : std::string();
}

void TransverterPrefsPage::setTransverterTabLabel(int index, const std::string& label) {
    xvtrTabView->setTabText(index, QString::fromStdString(label));
}

void TransverterPrefsPage::setSelectedTransverterButtons(const std::string& deleteToolTip,
                                                         const std::string& selectToolTip,
                                                         int selectTag) {
    xvtrDeleteButton->setToolTip(QString::fromStdString(deleteToolTip));
    xvtrSelectButton->setToolTip(QString::fromStdString(selectToolTip));
    selectTag_ = selectTag;
}

// The controls of one transverter. Captions and shown values are fields without a bezel; only
// the editable ones have a background and report their entries, by their tags.
QWidget* TransverterPrefsPage::transverterView(const TransverterTabFields& fields) {
    auto* view = new QWidget;
    view->setProperty("identifier", QString::fromStdString(fields.identifier));
    view->setMinimumSize(400, kViewHeight);

    auto text = [&](const QRect& place, const std::string& shown, const char* name, int tag) {
        auto* field = new TextField(view);
        field->setGeometry(place);
        field->setFrame(false);
        field->setStringValue(shown);
        field->setReadOnly(tag == 0);
        if (tag == 0) {
            field->setStyleSheet(QStringLiteral("background: transparent"));
        } else {
            field->setProperty("tag", tag);
            connect(field, &TextField::endEditing, this,
                    [this, field, tag] { emit xvtrValueChanged(tag, field->stringValue()); });
        }
        if (name) {
            field->setObjectName(QString::fromLatin1(name));
        }
    };
    auto caption = [&](int y, const char* title) {
        text(frame(10, y, 138, 18), title, nullptr, 0);
    };

    auto* rxOnly = new CheckBox(QStringLiteral("RX Only"), view);
    rxOnly->setObjectName(QStringLiteral("xvtrRxOnlyCheckBox"));
    rxOnly->setGeometry(frame(250, 20, 120, 18));
    QFont small = rxOnly->font();
    small.setPixelSize(12);
    rxOnly->setFont(small);
    rxOnly->setState(fields.rxOnly);
    rxOnly->setProperty("tag", int(kXvtrRxOnlyTag));
    connect(rxOnly, &CheckBox::action, this,
            [this, rxOnly] { emit xvtrButtonChanged(kXvtrRxOnlyTag, rxOnly->state()); });

    caption(20, "RX Gain(dB)");
    text(frame(140, 20, 70, 18), fields.rxGain, "xvtrRxGainField", kXvtrRxGainTag);
    caption(40, "Max Power(dBm)");
    text(frame(140, 40, 70, 18), fields.maxPower, "xvtrMaxPowerField", kXvtrMaxPowerTag);
    caption(60, "LO Error(Hz)");
    text(frame(140, 60, 70, 18), fields.loError, "xvtrLoErrorField", kXvtrLoErrorTag);
    caption(80, "LO Freq(MHz)");
    text(frame(140, 80, 70, 18), fields.loFreq, "xvtrLoFreqField", 0);
    caption(100, "IF Freq(MHz)");
    text(frame(140, 100, 70, 18), fields.ifFreq, "xvtrIfFreqField", kXvtrIfFreqTag);
    caption(120, "RF Freq(MHz)");
    text(frame(140, 120, 70, 18), fields.rfFreq, "xvtrRfFreqField", kXvtrRfFreqTag);
    text(frame(250, 140, 138, 18), fields.valid ? "Valid" : "Not Valid", "xvtrValidLabel", 0);
    caption(140, "Name");
    text(frame(140, 140, 70, 18), fields.name, "xvtrNameField", kXvtrNameTag);
    return view;
}

}  // namespace vm
