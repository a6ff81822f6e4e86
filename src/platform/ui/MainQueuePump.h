#pragma once
// Runs the main dispatch queue on the Qt event loop. While one lives (created on the GUI thread,
// after the QApplication), every task queued on DispatchQueue::main() runs on the GUI thread, in
// order, from a posted event: so also inside the loop of a modal dialog or a nested QEventLoop.
#include <QObject>

#include <memory>

namespace vm {

class MainQueuePump : public QObject {
public:
    MainQueuePump();
    ~MainQueuePump() override;
    MainQueuePump(const MainQueuePump&) = delete;
    MainQueuePump& operator=(const MainQueuePump&) = delete;

protected:
    void customEvent(QEvent* event) override;

private:
    struct Link;
    std::shared_ptr<Link> link_;
};

}  // namespace vm
