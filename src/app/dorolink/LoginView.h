#pragma once
// The window that shows the identity provider's login pages. The application's view is a web
// engine; tests give the login controller a view of their own and call `pageFinished` as a
// browser would. Called on the main thread only.
#include <functional>
#include <string>

namespace vm {

class LoginView {
public:
    // A page finished loading: the address of the page and its text.
    using PageFinished = std::function<void(const std::string& url, const std::string& text)>;

    virtual ~LoginView() = default;

    // The window in front, as the key window; or out of sight.
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void load(const std::string& url) = 0;
    // The address of the page shown (empty before the first load).
    virtual std::string currentUrl() const = 0;
    // Forgets the provider's session: every cookie of a domain holding "authprovider".
    virtual void removeAuthProviderCookies() = 0;

    void setPageFinished(PageFinished handler) { pageFinished_ = std::move(handler); }

protected:
    void pageFinished(const std::string& url, const std::string& text) const {
        if (pageFinished_) {
            pageFinished_(url, text);
        }
    }

private:
    PageFinished pageFinished_;
};

}  // namespace vm
