// The knob's page and what the knob's messages do: the page's actions, the tasks, the auxiliary
// buttons and the activity lamp.
#include "app/control/DoroControlController.h"

#include "app/control/DoroControlHost.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/StatusImages.h"
#include "platform/core/Defaults.h"
#include "platform/core/SerialPort.h"

#include <chrono>

namespace vm {

namespace {

constexpr std::array<const char*, 3> kAuxTaskKeys{"doro_control_aux1", "doro_control_aux2",
                                                  "doro_control_aux3"};

}  // namespace

std::shared_ptr<DoroControlController> DoroControlController::create(
    KnobPrefsPage& page, DispatchQueuePtr kbrx_dorocontrol_queue,
    std::weak_ptr<DoroControlHost> host) {
    std::shared_ptr<DoroControlController> controller(
        new DoroControlController(page, std::move(kbrx_dorocontrol_queue), std::move(host)));
    controller->connectPage();
    page.setLightImage(controller->greyBulb);
    return controller;
}

DoroControlController::DoroControlController(KnobPrefsPage& page, DispatchQueuePtr queue,
                                             std::weak_ptr<DoroControlHost> host)
    : page_(&page),
      kbrx_dorocontrol_queue(std::move(queue)),
      host_(std::move(host)),
      greenBulb(statusImageNamed("green_ball")),
      greyBulb(statusImageNamed("gray_ball")) {}

DoroControlController::~DoroControlController() = default;

void DoroControlController::onMain(Work work, DispatchClock::duration delay) {
    std::weak_ptr<DoroControlController> weak = weak_from_this();
    DispatchTask task = [weak, work = std::move(work)] {
        const auto self = weak.lock();
        if (self && self->page_) {
            work(*self);
        }
    };
    if (delay > DispatchClock::duration::zero()) {
        DispatchQueue::main()->after(delay, std::move(task));
    } else {
        DispatchQueue::main()->async(std::move(task));
    }
}

void DoroControlController::connectPage() {
    std::weak_ptr<DoroControlController> weak = weak_from_this();
    // Each action of the page reaches the controller while it lives.
    const auto route = [weak](auto action) {
        return [weak, action](auto&&... arguments) {
            if (const auto self = weak.lock()) {
                ((*self).*action)(arguments...);
            }
        };
    };
    KnobPrefsPage* page = page_.data();
    QObject::connect(page, &KnobPrefsPage::doroControlCheckBoxChanged, page,
                     route(&DoroControlController::doroControlCheckBoxChanged));
    QObject::connect(page, &KnobPrefsPage::doroPortPopupChanged, page,
                     route(&DoroControlController::doroPortPopupChanged));
    QObject::connect(page, &KnobPrefsPage::doroControlTaskPopupChanged, page,
                     route(&DoroControlController::doroControlTaskPopupChanged));
    QObject::connect(page, &KnobPrefsPage::doroControlAuxPopupChanged, page,
                     route(&DoroControlController::doroControlAuxPopupChanged));
}

void DoroControlController::doroControlTaskPopupChanged(const std::string& title) {
    Defaults::standard().set("doro_control_task", PlistValue(title));
}

void DoroControlController::doroControlAuxPopupChanged(int button, const std::string& title) {
    if (button >= 1 && button <= 3) {
        Defaults::standard().set(kAuxTaskKeys[std::size_t(button - 1)], PlistValue(title));
    }
}

void DoroControlController::doroControlCheckBoxChanged(bool on) {
    Defaults::standard().set("doro_control", PlistValue(std::int64_t{on}));
    openCloseDoroControl(on);
}

void DoroControlController::doroPortPopupChanged(const std::string& title) {
    if (channel_) {
        close();
    }
    Defaults::standard().set("doro_control_port", PlistValue(title));
}

void DoroControlController::openCloseDoroControl(bool on) {
    if (on) {
        open();
    } else {
        close();
    }
}

void DoroControlController::switchTasks(int task, double step) {
    if (const auto h = host()) {
        vm::switchTasks(*h, task, step);
    }
}

void DoroControlController::knobEvent(const knob::KnobEvent& event) {
    switch (event.kind) {
        case knob::KnobEvent::Kind::rotation:
            switchTasks(auxButtons_.selectedTask(page_->taskIndex(),
                                                 {page_->auxTaskIndex(1), page_->auxTaskIndex(2),
                                                  page_->auxTaskIndex(3)}),
                        event.value);
            break;
        case knob::KnobEvent::Kind::press:
            if (const auto h = host()) {
                h->bringUsFront();
            }
            break;
        case knob::KnobEvent::Kind::auxButton: toggleDoroAuxButton(event.value); break;
    }
}

void DoroControlController::toggleDoroAuxButton(int n) {
    writeToKnob(knob::kAllLampsOff);
    onMain([n](DoroControlController& self) {
        self.auxButtons_.toggle(n);
        self.buttonTask(n);
        self.writeToKnob(knob::lampMessage(self.auxButtons_.lamps()));
        if (self.page_->doroControl()) {
            if (const auto h = self.host()) {
                h->adjustHudTitle();
            }
        }
    });
}

void DoroControlController::buttonTask(int n) {
    if (const auto h = host()) {
        vm::buttonTask(*h, auxButtons_, n, page_ && page_->auxTaskIndex(n) == int(KnobTask::mox));
    }
}

void DoroControlController::flashDoroControlBulb(const QImage& image) {
    onMain([image](DoroControlController& self) {
        self.page_->setLightImage(image);
        self.onMain(
            [](DoroControlController& later) { later.page_->setLightImage(later.greyBulb); },
            std::chrono::milliseconds(125));
    });
}

std::string DoroControlController::hudKnobText() const {
    return page_ && page_->doroControl() ? auxButtons_.hudText() : std::string();
}

}  // namespace vm
