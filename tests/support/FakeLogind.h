#pragma once
// A login manager for tests, on a bus of the test's own: it hands out delay inhibitors as the
// write ends of pipes (an inhibitor has ended when its read end sees the pipe hang up) and sends
// PrepareForSleep when told.
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace vm::test {

class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    // Serves on `bus` (a connection of the test's own) under logind's name and path; check
    // serving().
    explicit FakeLogind(QDBusConnection bus);
    ~FakeLogind() override;

    bool serving() const { return serving_; }
    // Broadcasts PrepareForSleep(sleeping); true when sent.
    bool prepareForSleep(bool sleeping);
    // True once inhibitor `index` (in the order taken) has ended, waiting up to `waitMs`.
    bool ended(std::size_t index, int waitMs) const;

    std::vector<QStringList> inhibitions;  // what, who, why, mode of each

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode);

private:
    QDBusConnection bus_;
    std::vector<int> readEnds_;
    bool serving_ = false;
};

}  // namespace vm::test
