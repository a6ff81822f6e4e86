#include "platform/ui/InputDialogs.h"

#include "platform/ui/Alert.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TextField.h"

#include <functional>
#include <memory>

namespace vm {

namespace {

constexpr int kFieldWidth = 200;
constexpr int kFieldHeight = 24;

template <class Field>
std::optional<std::string> ask(const std::string& message, std::unique_ptr<Field> field,
                               const std::optional<QPalette>& appearance,
                               const std::function<std::string(const Field&)>& read) {
    Field& view = *field;
    view.setFixedSize(kFieldWidth, kFieldHeight);
    Alert alert;
    alert.setMessageText(message);
    alert.addButtonWithTitle("OK");
    alert.addButtonWithTitle("Cancel");
    alert.setAppearance(appearance);
    alert.setAccessoryView(std::move(field));
    if (alert.runModal() != Alert::firstButtonReturn) {
        return std::nullopt;
    }
    return read(view);
}

}  // namespace

std::optional<std::string> askForText(const std::string& message, const std::string& defaultValue,
                                      const std::optional<QPalette>& appearance) {
    auto field = std::make_unique<TextField>();
    field->setStringValue(defaultValue);
    field->selectAll();
    return ask<TextField>(message, std::move(field), appearance,
                          [](const TextField& f) { return f.stringValue(); });
}

std::optional<std::string> askForChoice(const std::string& message,
                                        const std::vector<std::string>& titles,
                                        const std::optional<QPalette>& appearance) {
    auto popup = std::make_unique<PopUpButton>();
    for (const std::string& title : titles) {
        popup->addItem(QString::fromStdString(title));
    }
    return ask<PopUpButton>(message, std::move(popup), appearance,
                            [](const PopUpButton& p) { return p.title(); });
}

}  // namespace vm
