#pragma once
// The preferences' Transverters tab: one tab per transverter of the radio, with the buttons that
// add, delete and select one. The tabs are made by the transverter editor from the radio's list,
// each with the transverter's fields; the page tells the editor what the operator changes, by the
// tag of the control.
#include "app/windows/PreferencesPage.h"

#include <QImage>

#include <string>

class QTabWidget;

namespace vm {

class ImageButton;

// The tags of a tab's editable controls.
enum XvtrTag : int {
    kXvtrNameTag = 2,
    kXvtrRfFreqTag = 3,
    kXvtrIfFreqTag = 4,
    kXvtrLoErrorTag = 6,
    kXvtrMaxPowerTag = 7,
    kXvtrRxGainTag = 8,
    kXvtrRxOnlyTag = 10,
    kXvtrPreferredTag = 12,
    kXvtrTwoMeterIntTag = 13,
};

// What one transverter's tab shows, each field as it is written.
struct TransverterTabFields {
    std::string identifier;  // the transverter's key
    std::string name;        // also the tab's label
    std::string rfFreq, ifFreq, loFreq, loError, maxPower, rxGain;
    bool rxOnly = false;
    bool valid = false;
};

class TransverterPrefsPage : public PreferencesPage {
    Q_OBJECT

public:
    explicit TransverterPrefsPage(QWidget* parent = nullptr);

    void setButtonImages(const QImage& add, const QImage& remove, const QImage& go);

    // The tabs, made and selected from code (which sends nothing).
    void removeAllTransverterTabs();
    void addTransverterTab(const TransverterTabFields& fields);
    int transverterTabCount() const;
    // -1 when no tab is selected.
    int selectedTransverterTab() const;
    void selectTransverterTab(int index);
    // The identifier of a tab, "" out of range.
    std::string transverterTabIdentifier(int index) const;
    void setTransverterTabLabel(int index, const std::string& label);
    // The delete and select buttons name the selected transverter; the select button carries its
    // key's number as tag.
    void setSelectedTransverterButtons(const std::string& deleteToolTip,
                                       const std::string& selectToolTip, int selectTag);
    int selectButtonTag() const { return selectTag_; }

signals:
    // The operator's actions: the three buttons, a tab chosen, a field's text entered (at the end
    // of its edit) or a check box clicked, by the control's tag.
    void xvtrAddPressed();
    void xvtrDeletePressed();
    void xvtrSelectButtonPressed();
    void xvtrTabSelected(int index);
    void xvtrValueChanged(int tag, const std::string& text);
    void xvtrButtonChanged(int tag, bool on);

private:
    QWidget* transverterView(const TransverterTabFields& fields);

    QTabWidget* xvtrTabView;
    ImageButton* xvtrAddButton;
    ImageButton* xvtrDeleteButton;
    ImageButton* xvtrSelectButton;
    int selectTag_ = 0;
    bool fromCode_ = false;  // tab changes made from code send nothing
};

}  // namespace vm
