#pragma once
// Small builders for the windows: every control is made with its outlet name as objectName (the
// name the controller's code and the tests know it by), and the repeated pieces of a form (a
// labelled slider with its value field, a titled group) are laid out the same way everywhere.
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/TextField.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace vm::kit {

// The outlet name of a control of a repeated set: "%c" in the pattern becomes the panel letter,
// "%s" the pan suffix ("", "1", "2", "3").
QString outletName(const char* pattern, char letter);
QString outletName(const char* pattern, const QString& suffix);

Slider* slider(QWidget* parent, const QString& name, double minimum, double maximum,
               Qt::Orientation orientation = Qt::Horizontal);
CheckBox* checkBox(QWidget* parent, const QString& name, const QString& title);
PopUpButton* popUp(QWidget* parent, const QString& name, const QStringList& items = {});
// A text field; a value field (read-only, right-aligned, narrow) when `value` is true.
TextField* textField(QWidget* parent, const QString& name, bool value = false);
QLabel* label(QWidget* parent, const QString& name, const QString& text = {});
Stepper* stepper(QWidget* parent, const QString& name, double minimum, double maximum,
                 double increment);
LevelIndicator* levelIndicator(QWidget* parent, const QString& name);
QPushButton* button(QWidget* parent, const QString& name, const QString& title);
ImageButton* imageButton(QWidget* parent, const QString& name, const QString& title = {});

// A group box with a grid in it; rows are added with the functions below.
QGridLayout* group(QGridLayout* into, int row, int column, const QString& title, int rowSpan = 1,
                   int columnSpan = 1);
// One row of a grid: a caption in column 0, then the widgets from column 1 on.
void row(QGridLayout* grid, const QString& caption, std::initializer_list<QWidget*> widgets);
// A labelled slider with its value field, and another control after them when one is given.
void levelRow(QGridLayout* grid, QWidget* parent, const QString& caption, Slider*& slider,
              const QString& sliderName, TextField*& text, const QString& textName, double minimum,
              double maximum, QWidget* extra = nullptr);
// A frameless scroll area holding the content, which scrolls when the area is smaller than the
// content wants.
QWidget* scrolling(QWidget* content);

}  // namespace vm::kit
