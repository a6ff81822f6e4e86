#pragma once
// A colour well: a swatch of its colour that opens a colour dialog when clicked. Setting the colour
// from code sends no action; a colour chosen in the dialog sends `action`. The pair of defaults
// methods keeps the colour under a key, in the form that colors::toPlist writes.
#include <QColor>
#include <QPushButton>

#include <optional>
#include <string>

class QColorDialog;

namespace vm {

class ColorWell : public QPushButton {
    Q_OBJECT

public:
    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

    // Sets the colour stored under `key`; when there is none, or it does not decode, the default.
    // Returns the colour set, or nullopt (and no change) when neither applies.
    std::optional<QColor> setColorWithPrefKey(const std::string& key,
                                              const std::optional<QColor>& defaultColor);
    // Stores the colour under `key` (nothing when the key is empty) and returns it.
    QColor saveColorWithKey(const std::string& key);

    // The open colour dialog, or nullptr.
    QColorDialog* dialog() const { return dialog_; }

    void sendAction() { emit action(); }

signals:
    void action();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openDialog();

    QColor color_ = Qt::white;
    QColorDialog* dialog_ = nullptr;
};

}  // namespace vm
