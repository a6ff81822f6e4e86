#include "platform/ui/Window.h"

#include "platform/core/Defaults.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vm {

namespace {

constexpr int kFrameSaveDelayMs = 500;
// How much of a restored frame must lie on a screen for the user to reach it.
constexpr int kReachableWidth = 60;
constexpr int kReachableHeight = 30;

std::optional<QRect> frameFrom(const PlistArray& values) {
    if (values.size() != 4) {
        return std::nullopt;
    }
    double v[4];
    for (std::size_t i = 0; i < 4; ++i) {
        if (auto* real = values[i].get<double>()) {
            v[i] = *real;
        } else if (auto* whole = values[i].get<std::int64_t>()) {
            v[i] = double(*whole);
        } else {
            return std::nullopt;
        }
        if (!std::isfinite(v[i]) || std::abs(v[i]) > 1e6) {
            return std::nullopt;
        }
    }
    if (v[2] < 1 || v[3] < 1) {
        return std::nullopt;
    }
    return QRect(int(std::lround(v[0])), int(std::lround(v[1])), int(std::lround(v[2])),
                 int(std::lround(v[3])));
}

// The frame itself when enough of it lies on some screen; otherwise the same size, bounded by the
// primary screen, in the middle of that screen.
QRect onAScreen(const QRect& frame) {
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(frame);
        if (shared.width() >= std::min(kReachableWidth, frame.width()) &&
            shared.height() >= std::min(kReachableHeight, frame.height())) {
            return frame;
        }
    }
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        return frame;
    }
    const QRect area = primary->availableGeometry();
    QRect moved(QPoint(), frame.size().boundedTo(area.size()));
    moved.moveCenter(area.center());
    return moved;
}

}  // namespace

Window::Window(QWidget* parent) : QMainWindow(parent) {
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kFrameSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &Window::saveFrame);
}

Window::~Window() {
    if (saveTimer_.isActive()) {
        saveFrame();
    }
}

std::string Window::frameKey() const { return "Window Frame " + autosaveName_; }

void Window::setFrameAutosaveName(std::string name) {
    saveTimer_.stop();
    autosaveName_ = std::move(name);
    restoreFrame();
}

void Window::saveFrame() {
    saveTimer_.stop();
    if (autosaveName_.empty()) {
        return;
    }
    const QRect frame = geometry();
    Defaults::standard().set(frameKey(), PlistArray{double(frame.x()), double(frame.y()),
                                                    double(frame.width()), double(frame.height())});
}

void Window::restoreFrame() {
    if (autosaveName_.empty()) {
        return;
    }
    auto stored = Defaults::standard().arrayForKey(frameKey());
    if (!stored) {
        return;
    }
    if (auto frame = frameFrom(*stored)) {
        setGeometry(onAScreen(*frame));
    }
}

bool Window::isFloating() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void Window::setFloating(bool floating) {
    if (floating == isFloating()) {
        return;
    }
    const bool wasVisible = isVisible();
    const bool wasActive = isActiveWindow();
    setWindowFlag(Qt::WindowStaysOnTopHint, floating);  // hides the window
    if (wasVisible) {
        // Shown again without taking the keyboard from the window that has it.
        const bool quiet = testAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_ShowWithoutActivating, quiet || !wasActive);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    }
}

void Window::makeKeyAndOrderFront() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    raise();
    activateWindow();
}

void Window::closeEvent(QCloseEvent* event) {
    emit willClose();
    if (isVisible()) {
        saveFrame();
    }
    QMainWindow::closeEvent(event);
}

void Window::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible()) {
        frameChanged();
        emit didMove();
    }
}

void Window::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isVisible()) {
        frameChanged();
        emit didResize();
    }
}

void Window::frameChanged() {
    if (!autosaveName_.empty()) {
        saveTimer_.start();
    }
}

void Window::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() != key_) {
        key_ = isActiveWindow();
        if (key_) {
            emit didBecomeKey();
        } else {
            emit didResignKey();
        }
    }
}

void Window::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (QWindow* handle = windowHandle(); handle && handle != watchedHandle_) {
        if (watchedHandle_) {
            watchedHandle_->removeEventFilter(this);
        }
        handle->installEventFilter(this);
        watchedHandle_ = handle;
    }
}

// A hidden window is not exposed, whether or not the platform says so.
void Window::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (exposed_) {
        exposed_ = false;
        emit occlusionChanged(false);
    }
}

bool Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle()) {
        const bool exposed = windowHandle()->isExposed();
        if (exposed != exposed_) {
            exposed_ = exposed;
            emit occlusionChanged(exposed);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vm
