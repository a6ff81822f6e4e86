#pragma once
// A text field. With a number formatter it shows a number as the formatter writes it, refuses the
// keys the formatter does not allow, and reads its value through the formatter.
//
// Editing: the first change typed by the user sends `beginEditing`; Return, Tab or leaving the
// field after such a change sends `endEditing` (a formatted field first reformats what was typed,
// or beeps and shows its last value again when the text does not read as a number). Every typed
// change sends `textDidChange`; Return sends `action`. Setting the text from code sends nothing.
#include <QLineEdit>

#include <functional>
#include <optional>
#include <string>

namespace vm {

struct NumberFormatter {
    // The text of a value; nullopt when the value cannot be shown (the field is then empty).
    std::function<std::optional<std::string>(double)> stringForValue;
    // The value of a text; nullopt when the text does not read as a number.
    std::function<std::optional<double>(const std::string&)> valueForString;
    // Whether a text may stand in the field while it is typed; empty: every text may.
    std::function<bool(const std::string&)> isPartialStringValid;
};

class TextField : public QLineEdit {
    Q_OBJECT

public:
    explicit TextField(QWidget* parent = nullptr);
    ~TextField() override;

    void setFormatter(std::optional<NumberFormatter> formatter);

    std::string stringValue() const { return text().toStdString(); }
    void setStringValue(const std::string& value);
    // Through the formatter when there is one (0 when the text does not read), otherwise the
    // leading decimal number of the text (0 when there is none).
    double doubleValue() const;
    void setDoubleValue(double value);
    int intValue() const;
    void setIntValue(int value) { setDoubleValue(value); }

    bool isEditing() const { return editing_; }

signals:
    void beginEditing();
    void endEditing();
    void textDidChange();
    void action();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    class PartialValidator;

    void userEdited();
    void finishEditing();

    std::optional<NumberFormatter> formatter_;
    PartialValidator* validator_ = nullptr;
    QString shown_;  // the text last set from code or accepted at the end of an edit
    bool editing_ = false;
};

}  // namespace vm
