#pragma once
// One tab of the preferences window. A page keeps its controls to itself: the controllers read
// and set them through the page's functions and hear the operator's changes through its signals.
// Its stored preferences are the rows of `stored_`, which restore() reads back and defaults()
// puts back; a page whose controls have more to do on either (a button enabled with a check box)
// adds it in its own override.
#include "app/windows/PreferenceRows.h"

#include <QWidget>

namespace vm {

class PreferencesPage : public QWidget {
public:
    using QWidget::QWidget;

    virtual void restore() { stored_.restore(); }
    virtual void defaults() { stored_.defaults(); }

protected:
    PreferenceRows stored_;
};

}  // namespace vm
