#pragma once
// Modal input dialogs: an alert with "OK" and "Cancel" and a field of 200 x 24 points below its
// message. Each returns what was chosen, or nullopt for "Cancel". Tests answer them through
// Alert::setTestResponder (the accessory view is a TextField or a PopUpButton).
#include <QPalette>

#include <optional>
#include <string>
#include <vector>

namespace vm {

// A text field holding `defaultValue`; "OK" returns the edited text.
std::optional<std::string> askForText(const std::string& message, const std::string& defaultValue,
                                      const std::optional<QPalette>& appearance = std::nullopt);
// A pop-up of `titles`, the first selected; "OK" returns the chosen title.
std::optional<std::string> askForChoice(const std::string& message,
                                        const std::vector<std::string>& titles,
                                        const std::optional<QPalette>& appearance = std::nullopt);

}  // namespace vm
