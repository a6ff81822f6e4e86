#pragma once
// A modal panel that asks where to save a file: a title, a message, the button's and the name
// field's labels, a proposed name, a starting folder and the allowed extensions. A name typed
// without an allowed extension gets the first one.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class SavePanel {
public:
    const std::string& title() const { return title_; }
    void setTitle(std::string text) { title_ = std::move(text); }
    const std::string& message() const { return message_; }
    void setMessage(std::string text) { message_ = std::move(text); }
    void setPrompt(std::string text) { prompt_ = std::move(text); }
    void setNameFieldLabel(std::string text) { nameFieldLabel_ = std::move(text); }
    const std::string& nameFieldStringValue() const { return name_; }
    void setNameFieldStringValue(std::string name) { name_ = std::move(name); }
    const std::filesystem::path& directory() const { return directory_; }
    void setDirectory(std::filesystem::path folder) { directory_ = std::move(folder); }
    // Extensions without the dot ("m4a"); empty allows any.
    void setAllowedFileTypes(std::vector<std::string> types) { types_ = std::move(types); }

    // The chosen file, or nullopt when the panel was cancelled.
    std::optional<std::filesystem::path> runModal();

    // Tests answer the panel instead of a person: the responder is called while the panel is open
    // and returns the name to type into its name field (a path relative to the panel's folder), or
    // nullopt to cancel. Returns the previous responder; main thread only.
    using TestResponder = std::function<std::optional<std::string>(SavePanel&)>;
    static TestResponder setTestResponder(TestResponder responder);

private:
    std::string title_;
    std::string message_;
    std::string prompt_;
    std::string nameFieldLabel_;
    std::string name_;
    std::filesystem::path directory_;
    std::vector<std::string> types_;
};

}  // namespace vm
