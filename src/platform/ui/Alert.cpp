#include "platform/ui/Alert.h"

#include "platform/core/Log.h"
#include "platform/ui/ModalRun.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vm {

namespace {

Alert::TestResponder& responder() {
    static Alert::TestResponder current;
    return current;
}

QStyle::StandardPixmap iconFor(Alert::Style style) {
    switch (style) {
        case Alert::Style::informational: return QStyle::SP_MessageBoxInformation;
        case Alert::Style::critical: return QStyle::SP_MessageBoxCritical;
        case Alert::Style::warning: break;
    }
    return QStyle::SP_MessageBoxWarning;
}

// Escape and the window's close button answer "Cancel" when the alert has one; otherwise they do
// nothing, so that only one of the alert's own buttons answers it.
class AlertDialog : public QDialog {
public:
    int cancelCode = 0;

    void reject() override {
        if (cancelCode != 0) {
            done(cancelCode);
        }
    }
};

// The style's icon for the alert, painted at the pixel density of whatever it is drawn on.
class AlertIcon : public QWidget {
public:
    explicit AlertIcon(QIcon icon) : icon_(std::move(icon)) { setFixedSize(kSize, kSize); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        icon_.paint(&painter, rect());
    }

private:
    static constexpr int kSize = 48;
    QIcon icon_;
};

// A text that stays on one line up to a readable width and wraps beyond it.
QLabel* textLabel(const std::string& text, bool bold) {
    constexpr int kLineWidth = 440;
    auto* label = new QLabel(QString::fromStdString(text));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->setMinimumWidth(
        std::min(label->fontMetrics().horizontalAdvance(label->text()) + 4, kLineWidth));
    return label;
}

}  // namespace

Alert::Alert() = default;

Alert::~Alert() = default;

void Alert::setAccessoryView(std::unique_ptr<QWidget> view) { accessory_ = std::move(view); }

Alert::TestResponder Alert::setTestResponder(TestResponder next) {
    return std::exchange(responder(), std::move(next));
}

int Alert::runModal() {
    const std::vector<std::string> titles =
        buttons_.empty() ? std::vector<std::string>{"OK"} : buttons_;

    AlertDialog dialog;
    dialog.setModal(true);
    if (appearance_) {
        dialog.setPalette(*appearance_);
    }

    auto* text = new QVBoxLayout;
    text->setSpacing(8);
    text->addWidget(textLabel(message_, true));
    if (!informative_.empty()) {
        text->addWidget(textLabel(informative_, false));
    }
    if (accessory_) {
        text->addWidget(accessory_.get(), 0, Qt::AlignLeft);
        accessory_->show();
        accessory_->setFocus();
    }

    auto* icon = new AlertIcon(dialog.style()->standardIcon(iconFor(style_)));

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    // The first button stands at the right, as the default; the others to its left in order.
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    std::vector<QPushButton*> buttons;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        auto* button = new QPushButton(QString::fromStdString(titles[i]));
        button->setAutoDefault(false);
        const int code = firstButtonReturn + int(i);
        QObject::connect(button, &QPushButton::clicked, &dialog,
                         [&dialog, code] { dialog.done(code); });
        buttons.push_back(button);
    }
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        row->addWidget(*it);
    }
    buttons.front()->setDefault(true);

    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(18);
    layout->addLayout(top);
    layout->addLayout(row);
    dialog.setMinimumWidth(420);

    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (titles[i] == "Cancel") {
            dialog.cancelCode = firstButtonReturn + int(i);
            break;
        }
    }

    std::function<void()> answer;
    if (responder()) {
        answer = [this, &buttons] {
            int index = responder()(*this);
            if (index < 0 || std::size_t(index) >= buttons.size()) {
                log("Alert:test answer {} has no button, pressing the first", index);
                index = 0;
            }
            buttons[std::size_t(index)]->click();
        };
    }

    const int code = runModalDialog(dialog, answer);
    if (accessory_) {
        accessory_->setParent(nullptr);  // kept, with what was entered, for the caller to read
    }
    return code;
}

bool confirmDeletion(std::string message, std::optional<QPalette> appearance) {
    Alert alert;
    alert.setAppearance(std::move(appearance));
    alert.setAlertStyle(Alert::Style::warning);
    alert.setMessageText(std::move(message));
    alert.setInformativeText("This action cannot be undone.");
    alert.addButtonWithTitle("OK");
    alert.addButtonWithTitle("Cancel");
    return alert.runModal() == Alert::firstButtonReturn;
}

}  // namespace vm
