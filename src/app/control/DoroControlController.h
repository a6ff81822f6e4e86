#pragma once
// The DoroControl tuning knob: a USB knob with a press button and three auxiliary buttons with
// lamps, which the computer sees as a serial port. The controller owns the knob's preferences
// page (its actions store the choices; DoroControlController.cpp), the open port with its probe
// and reader (DoroControlPort.cpp), and what the knob's messages do: rotations carried out as the
// task chosen in the pop-ups, a press that brings the application to the front, and the
// auxiliary buttons with their lamps (KnobTasks.h). What it drives outside the page it reaches
// through DoroControlHost.
//
// Threads: the actions, the tasks, the lamp states and the page are the main thread's. The port
// is opened, probed and closed on the knob's serial queue (`kbrx_dorocontrol_queue`), which also
// receives what the reader reads and parses it; writes to the knob are made from whichever queue
// handles the event. Work queued for later holds the controller weakly and runs only while the
// page lives.
#include "app/control/KnobProtocol.h"
#include "app/control/KnobTasks.h"
#include "platform/core/Bytes.h"
#include "platform/core/DispatchQueue.h"

#include <QImage>
#include <QPointer>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace vm {

class DoroControlHost;
class KnobPrefsPage;
class SerialPort;

class DoroControlController : public std::enable_shared_from_this<DoroControlController> {
public:
    // The controller of the knob's page, which outlives it; it connects the page's signals to
    // its actions and shows the dark lamp.
    static std::shared_ptr<DoroControlController> create(KnobPrefsPage& page,
                                                         DispatchQueuePtr kbrx_dorocontrol_queue,
                                                         std::weak_ptr<DoroControlHost> host);
    ~DoroControlController();  // a port still open is closed
    DoroControlController(const DoroControlController&) = delete;
    DoroControlController& operator=(const DoroControlController&) = delete;

    // --- The page's actions: each stores its choice ("doro_control_task", "doro_control_aux1"
    // to "doro_control_aux3", "doro_control", "doro_control_port"). Switching the knob on or off
    // opens or closes it; choosing another port closes a running one without opening the new one.
    void doroControlTaskPopupChanged(const std::string& title);
    void doroControlAuxPopupChanged(int button, const std::string& title);
    void doroControlCheckBoxChanged(bool on);
    void doroPortPopupChanged(const std::string& title);
    void openCloseDoroControl(bool on);

    // --- Opening and closing (main thread for open, any thread for close). `open` opens the
    // chosen port on the knob's queue (9600 baud, raw), probes it and reads it when a knob
    // answered; a port that cannot be opened, or that no knob answers, is closed completely and
    // the knob switched off. `close` saves the lamps, turns them off, stops reading, drains and
    // closes the port; it does nothing when no port is open or opening.
    void open();
    void close();
    // A port is open or being opened (main thread).
    bool serialReadChannel() const { return channel_; }
    // The open port's descriptor, -1 when none is open.
    int doro_control_fd() const;

    // --- What the knob's messages do (main thread).
    void switchTasks(int task, double step);
    void toggleDoroAuxButton(int n);
    void buttonTask(int n);
    void flashDoroControlBulb(const QImage& image);
    const KnobButtons& auxButtons() const { return auxButtons_; }
    // The lamps for the heads-up title while the knob is switched on, else "".
    std::string hudKnobText() const;

private:
    DoroControlController(KnobPrefsPage& page, DispatchQueuePtr queue,
                          std::weak_ptr<DoroControlHost> host);
    void connectPage();

    // On the knob's queue: the port opened and probed; false when it is closed again.
    void openPort(const std::string& path, bool pseudoTerminal, bool debug, unsigned generation);
    bool startSerialReadChannel(const std::shared_ptr<SerialPort>& port);
    void greetKnob(const std::shared_ptr<SerialPort>& port);
    void processSerialReadChannel(const Bytes& bytes);
    void readEnded(int error);
    // On the knob's queue: reading stopped, the port drained (unless quitting) and closed.
    void stopReadChannel(bool quittingAwake, bool debug);
    // On the main queue: the knob left off after a port that failed.
    void portFailed(unsigned generation);
    void knobEvent(const knob::KnobEvent& event);

    // Runs `work` on the main queue, `delay` from now, while the controller and its page live.
    using Work = std::function<void(DoroControlController&)>;
    void onMain(Work work, DispatchClock::duration delay = {});

    std::shared_ptr<SerialPort> port() const;
    void setPort(std::shared_ptr<SerialPort> port);
    void writeToKnob(std::string_view message) const;
    std::shared_ptr<DoroControlHost> host() const { return host_.lock(); }

    QPointer<KnobPrefsPage> page_;  // outlives the controller but for tasks queued at the end
    const DispatchQueuePtr kbrx_dorocontrol_queue;
    std::weak_ptr<DoroControlHost> host_;
    const QImage greenBulb, greyBulb;

    // Main thread.
    KnobButtons auxButtons_;
    bool channel_ = false;     // open() asked for a port and close() has not come since
    unsigned generation_ = 0;  // counts the opens, so that a late failure of an earlier one is
                               // told apart

    // The knob's queue.
    knob::KnobReader reader_;

    mutable std::mutex portMutex_;
    std::shared_ptr<SerialPort> port_;  // the open port; written on the knob's queue
};

}  // namespace vm
