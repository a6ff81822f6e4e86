#include "platform/ui/TextField.h"

#include "platform/core/Scanner.h"
#include "platform/ui/Beep.h"

#include <QValidator>

#include <algorithm>
#include <climits>
#include <cmath>

namespace vm {

class TextField::PartialValidator : public QValidator {
public:
    PartialValidator(std::function<bool(const std::string&)> check, QObject* parent)
        : QValidator(parent), check_(std::move(check)) {}

    State validate(QString& input, int&) const override {
        return check_(input.toStdString()) ? Acceptable : Invalid;
    }

private:
    std::function<bool(const std::string&)> check_;
};

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &TextField::userEdited);
    connect(this, &QLineEdit::editingFinished, this, &TextField::finishEditing);
    connect(this, &QLineEdit::returnPressed, this, [this] {
        finishEditing();
        emit action();
    });
}

TextField::~TextField() = default;

void TextField::setFormatter(std::optional<NumberFormatter> formatter) {
    formatter_ = std::move(formatter);
    setValidator(nullptr);
    delete validator_;
    validator_ = nullptr;
    if (formatter_ && formatter_->isPartialStringValid) {
        validator_ = new PartialValidator(formatter_->isPartialStringValid, this);
        setValidator(validator_);
    }
}

void TextField::setStringValue(const std::string& value) {
    shown_ = QString::fromStdString(value);
    setText(shown_);
}

double TextField::doubleValue() const {
    const std::string current = stringValue();
    if (formatter_) {
        return formatter_->valueForString(current).value_or(0.0);
    }
    Scanner scanner(current);
    scanner.setCharactersToBeSkipped(CharacterSet::whitespaceAndNewline());
    double value = 0.0;
    return scanner.scanDouble(&value) ? value : 0.0;
}

void TextField::setDoubleValue(double value) {
    if (formatter_) {
        setStringValue(formatter_->stringForValue(value).value_or(std::string()));
    } else {
        setStringValue(QString::number(value, 'g', 15).toStdString());
    }
}

int TextField::intValue() const {
    const double value = doubleValue();
    if (!std::isfinite(value)) {
        return 0;
    }
    return int(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    finishEditing();  // also when the text came back to what it was, which Qt does not report
}

void TextField::userEdited() {
    if (!editing_) {
        editing_ = true;
        emit beginEditing();
    }
    emit textDidChange();
}

void TextField::finishEditing() {
    if (!editing_) {
        return;
    }
    editing_ = false;
    if (formatter_) {
        if (auto value = formatter_->valueForString(stringValue())) {
            setDoubleValue(*value);
        } else {
            beep();
            setText(shown_);
        }
    } else {
        shown_ = text();
    }
    emit endEditing();
}

}  // namespace vm
