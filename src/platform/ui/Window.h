#pragma once
// A top-level window of the application, over QMainWindow, with what the controller needs of the
// platform's windows:
// - a frame autosave name: the frame (position and size of the content, in device-independent
//   pixels) is written to the defaults shortly after each move or resize and when the window
//   closes, and setting the name restores a stored frame, moved onto a screen when it lies off
//   every screen there is now;
// - the floating level (above the other windows) or the normal one; a change of level keeps a
//   shown window shown, and keeps the keyboard where it was;
// - bringing the window to the front as the key window;
// - the events the controller listens to: will close, did move, did resize, did become and
//   resign key (active), and occlusion, as the window system reports the window exposed or not.
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <string>

namespace vm {

class Window : public QMainWindow {
    Q_OBJECT

public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    void setFrameAutosaveName(std::string name);
    const std::string& frameAutosaveName() const { return autosaveName_; }
    // Writes the frame under the autosave name now; nothing without a name.
    void saveFrame();

    bool isFloating() const;
    void setFloating(bool floating);

    void makeKeyAndOrderFront();

    // True while the window system reports no part of the window exposed (hidden, minimised or,
    // where the system says so, covered).
    bool isOccluded() const { return !exposed_; }

signals:
    void willClose();
    void didMove();
    void didResize();
    void didBecomeKey();
    void didResignKey();
    void occlusionChanged(bool visible);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void frameChanged();
    void restoreFrame();
    std::string frameKey() const;

    std::string autosaveName_;
    QTimer saveTimer_;
    bool key_ = false;
    bool exposed_ = false;
    // The platform window watched for exposure; a change of level may give the window a new one.
    QPointer<QWindow> watchedHandle_;
};

}  // namespace vm
