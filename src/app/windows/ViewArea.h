#pragma once
// The place in a panadapter window where a display view goes: the panadapter (spectrum) view or
// the waterfall view. Until a view is placed in it (`place`), it shows a dark field with its
// caption, so an empty window still reads as a radio display.
#include <QWidget>

namespace vm {

class ViewArea : public QWidget {
public:
    ViewArea(const QString& objectName, const QString& caption, QWidget* parent = nullptr);

    // Puts the view into the area, filling it; the area owns it from then on.
    void place(QWidget* view);
    QWidget* view() const { return view_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QWidget* view_ = nullptr;
};

}  // namespace vm
