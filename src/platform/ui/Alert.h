#pragma once
// A modal alert: a message, an informative text, an icon for its style, an optional accessory view
// (a text field, a pop-up) and buttons in the order they were added. runModal() answers 1000 for
// the first button, 1001 for the second, and so on. The first button is the default (Return); a
// button titled "Cancel" answers the Escape key. With no button added, the alert shows "OK".
#include <QPalette>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace vm {

class Alert {
public:
    enum class Style { warning, informational, critical };
    static constexpr int firstButtonReturn = 1000;

    Alert();
    ~Alert();
    Alert(const Alert&) = delete;
    Alert& operator=(const Alert&) = delete;

    const std::string& messageText() const { return message_; }
    void setMessageText(std::string text) { message_ = std::move(text); }
    const std::string& informativeText() const { return informative_; }
    void setInformativeText(std::string text) { informative_ = std::move(text); }
    Style alertStyle() const { return style_; }
    void setAlertStyle(Style style) { style_ = style; }
    const std::vector<std::string>& buttonTitles() const { return buttons_; }
    void addButtonWithTitle(std::string title) { buttons_.push_back(std::move(title)); }
    // The alert owns the view; it is still there, with what the user entered, after runModal().
    QWidget* accessoryView() const { return accessory_.get(); }
    void setAccessoryView(std::unique_ptr<QWidget> view);
    // The window appearance (dark or light palette); without one the application's.
    void setAppearance(std::optional<QPalette> palette) { appearance_ = std::move(palette); }

    int runModal();

    // Tests answer alerts instead of a person: the responder is called with the alert while it is
    // open and returns the index of the button to press (0 for the first). An index without a
    // button is logged and presses the first. Returns the previous responder; main thread only.
    using TestResponder = std::function<int(Alert&)>;
    static TestResponder setTestResponder(TestResponder responder);

private:
    std::string message_;
    std::string informative_;
    Style style_ = Style::warning;
    std::vector<std::string> buttons_;
    std::unique_ptr<QWidget> accessory_;
    std::optional<QPalette> appearance_;
};

// Asks before something is deleted for good: a warning with the message, "This action cannot be
// undone." and the buttons OK and Cancel. True when the user chose OK.
bool confirmDeletion(std::string message, std::optional<QPalette> appearance);

}  // namespace vm
