#pragma once
// The preferences' Transverters tab: one tab per transverter of the radio, with the buttons that
// add, delete and select one.
#include "app/windows/PreferencesPage.h"

#include <QImage>

class QTabWidget;

namespace vm {

class ImageButton;

class TransverterPrefsPage : public PreferencesPage {
public:
    explicit TransverterPrefsPage(QWidget* parent = nullptr);

    void setButtonImages(const QImage& add, const QImage& remove, const QImage& go);

private:
    QTabWidget* xvtrTabView;
    ImageButton* xvtrAddButton;
    ImageButton* xvtrDeleteButton;
    ImageButton* xvtrSelectButton;
};

}  // namespace vm
