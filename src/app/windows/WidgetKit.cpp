#include "app/windows/WidgetKit.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QScrollArea>

namespace vm::kit {

QString outletName(const char* pattern, char letter) {
    return QString::fromLatin1(pattern).replace(QStringLiteral("%c"), QString(QChar(letter)));
}

QString outletName(const char* pattern, const QString& suffix) {
    return QString::fromLatin1(pattern).replace(QStringLiteral("%s"), suffix);
}

namespace {

template <class W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

Slider* slider(QWidget* parent, const QString& name, double minimum, double maximum,
               Qt::Orientation orientation) {
    auto* control = named(new Slider(orientation, parent), name);
    control->setMinValue(minimum);
    control->setMaxValue(maximum);
    if (orientation == Qt::Horizontal) {
        control->setMinimumWidth(110);
    }
    return control;
}

CheckBox* checkBox(QWidget* parent, const QString& name, const QString& title) {
    return named(new CheckBox(title, parent), name);
}

PopUpButton* popUp(QWidget* parent, const QString& name, const QStringList& items) {
    auto* control = named(new PopUpButton(parent), name);
    control->addItems(items);
    control->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return control;
}

TextField* textField(QWidget* parent, const QString& name, bool value) {
    auto* field = named(new TextField(parent), name);
    if (value) {
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setFocusPolicy(Qt::NoFocus);
        // Room for "-10000" in the field's own font.
        field->setFixedWidth(
            QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("-100000")) + 12);
    }
    return field;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* control = new QLabel(text, parent);
    if (!name.isEmpty()) {
        control->setObjectName(name);
    }
    return control;
}

Stepper* stepper(QWidget* parent, const QString& name, double minimum, double maximum,
                 double increment) {
    auto* control = named(new Stepper(parent), name);
    control->setMinValue(minimum);
    control->setMaxValue(maximum);
    control->setIncrement(increment);
    return control;
}

LevelIndicator* levelIndicator(QWidget* parent, const QString& name) {
    return named(new LevelIndicator(parent), name);
}

QPushButton* button(QWidget* parent, const QString& name, const QString& title) {
    return named(new QPushButton(title, parent), name);
}

ImageButton* imageButton(QWidget* parent, const QString& name, const QString& title) {
    auto* control = named(new ImageButton(parent), name);
    control->setText(title);
    return control;
}

QGridLayout* group(QGridLayout* into, int row, int column, const QString& title, int rowSpan,
                   int columnSpan) {
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    into->addWidget(box, row, column, rowSpan, columnSpan, Qt::AlignTop);
    return grid;
}

void row(QGridLayout* grid, const QString& caption, std::initializer_list<QWidget*> widgets) {
    const int at = grid->rowCount();
    if (!caption.isEmpty()) {
        grid->addWidget(new QLabel(caption), at, 0);
    }
    int column = 1;
    for (QWidget* widget : widgets) {
        grid->addWidget(widget, at, column++);
    }
}

void levelRow(QGridLayout* grid, QWidget* parent, const QString& caption, Slider*& slider,
              const QString& sliderName, TextField*& text, const QString& textName, double minimum,
              double maximum, QWidget* extra) {
    slider = kit::slider(parent, sliderName, minimum, maximum);
    text = textField(parent, textName, true);
    if (extra) {
        row(grid, caption, {slider, text, extra});
    } else {
        row(grid, caption, {slider, text});
    }
}

QWidget* scrolling(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

}  // namespace vm::kit
