#pragma once
// One running program per user. The first start owns a name on the session bus ("com.velmora
// software.velmoraSDR") and receives there the "kbrx://" URLs that later starts hand over before
// they end. Where no session bus answers, a local socket in the user's runtime folder does the
// same. The desktop entry (data/velmorasdr.desktop) starts the program with the URL of a
// "kbrx://" link as its argument.
#include <QDBusConnection>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QObject;

namespace vm {

class SingleInstance {
public:
    static constexpr const char* kBusName = "com.velmorasoftware.velmoraSDR";
    static constexpr const char* kObjectPath = "/com/velmorasoftware/velmoraSDR";
    static constexpr const char* kInterface = "com.velmorasoftware.velmoraSDR.Instance";
    static constexpr std::size_t kMaxUrlLength = 8192;  // a longer hand-over is dropped

    using UrlHandler = std::function<void(const std::string& url)>;

    // `name` is the bus name; the local socket is named after it.
    explicit SingleInstance(std::string name = kBusName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the first start: from now on the URLs of later starts go to `handler`,
    // on the GUI thread, in the order they arrive. False when another start holds the name.
    bool claim(UrlHandler handler);

    // In a later start: hands the URLs to the first one; true once it has taken every one.
    bool forward(const std::vector<std::string>& urls);

    // True when the name is held on the session bus rather than through the local socket.
    bool onBus() const { return onBus_; }

    // The arguments that are URLs of our scheme (any case: the receiver checks them).
    static std::vector<std::string> urlsFromArguments(const std::vector<std::string>& arguments);

private:
    bool claimOnBus(QDBusConnection& bus);
    bool claimSocket();
    bool forwardOnBus(QDBusConnection& bus, const std::vector<std::string>& urls);
    bool forwardOverSocket(const std::vector<std::string>& urls);
    std::string socketPath() const;

    const std::string name_;
    UrlHandler handler_;
    bool onBus_ = false;
    std::unique_ptr<QObject> adaptor_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace vm
