// A listener that runs out of descriptors part-way leaves none of its own open. Its own program:
// it lowers the process's descriptor limit.
#include "TcpTestSupport.h"

#include "net/PosixError.h"
#include "support/QueueBarrier.h"

#include <fcntl.h>
#include <sys/resource.h>

#include <cerrno>
#include <set>

namespace vm::test {
namespace {

// The descriptors open in the process (probed, so that looking opens none).
std::set<int> openDescriptors() {
    std::set<int> open;
    for (int fd = 0; fd < 4096; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) {
            open.insert(fd);
        }
    }
    return open;
}

// Lowers the soft descriptor limit so that exactly `count` more descriptors can be opened, and
// puts it back when it goes.
class DescriptorBudget {
public:
    explicit DescriptorBudget(int count) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        const std::set<int> open = openDescriptors();
        rlim_t limit = 0;
        for (int free = 0;; ++limit) {
            if (!open.contains(static_cast<int>(limit)) && free++ == count) {
                break;
            }
        }
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        EXPECT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    ~DescriptorBudget() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorBudget(const DescriptorBudget&) = delete;
    DescriptorBudget& operator=(const DescriptorBudget&) = delete;

private:
    rlimit saved_{};
};

// Listening on both families takes four descriptors: the IPv4 socket, the IPv6 socket, and one
// for each of their accept sources.
struct BudgetCase {
    const char* name;
    int descriptors;
};

void PrintTo(const BudgetCase& c, std::ostream* os) { *os << c.name; }

class TcpListenOutOfDescriptors : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(TcpListenOutOfDescriptors, LeavesNoListeningSocketBehind) {
    auto delegate = std::make_shared<RecordingDelegate>();
    const DispatchQueuePtr socketQueue = DispatchQueue::serial("listener");
    auto sock = TcpSocket::create(delegate, DispatchQueue::main(), socketQueue);
    // Whatever the dispatch layer opens on first use is open before the count.
    ASSERT_TRUE(sock->acceptOnPort(0));
    sock->disconnect();
    queueBarrier(socketQueue);
    delegate->disconnects.clear();
    const std::set<int> before = openDescriptors();

    Error error;
    {
        DescriptorBudget budget(GetParam().descriptors);
        EXPECT_FALSE(sock->acceptOnPort(0, &error));
    }
    EXPECT_EQ(error.domain, kPosixErrorDomain);
    EXPECT_EQ(error.code, EMFILE);
    queueBarrier(socketQueue);  // the sources' cancel handlers close their descriptors there
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_TRUE(sock->isDisconnected());
    EXPECT_TRUE(delegate->disconnects.empty()) << "a refused listen reports nothing";

    // The socket can listen again once descriptors are there.
    ASSERT_TRUE(sock->acceptOnPort(0, &error)) << error.description;
    sock->disconnect();
}

INSTANTIATE_TEST_SUITE_P(Budgets, TcpListenOutOfDescriptors,
                         ::testing::Values(BudgetCase{"NoSocket", 0},
                                           BudgetCase{"IPv4SocketOnly", 1},
                                           BudgetCase{"BothSocketsNoSource", 2},
                                           BudgetCase{"IPv4SourceOnly", 3}),
                         [](const auto& budget) { return std::string(budget.param.name); });

}  // namespace
}  // namespace vm::test
