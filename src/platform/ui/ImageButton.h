#pragma once
// A button that shows an image (fitted to the button, kept in proportion, drawn from the image's
// own pixels so that it stays sharp on dense screens), with an optional title over it. A toggle
// button (setCheckable) keeps an on/off state. Setting the state from code sends no action; a
// click sends `action`.
#include <QAbstractButton>
#include <QImage>

namespace vm {

class ImageButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit ImageButton(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }
    void setImage(const QImage& image);
    bool state() const { return isChecked(); }
    void setState(bool on) { setChecked(on); }

    QSize sizeHint() const override;

    void sendAction() { emit action(); }

signals:
    void action();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace vm
