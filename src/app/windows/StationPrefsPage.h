#pragma once
// The preferences' Station tab: this station's name as the radio knows it, and the uptime.
#include "app/windows/PreferencesPage.h"

#include <string>

namespace vm {

class TextField;

class StationPrefsPage : public PreferencesPage {
public:
    explicit StationPrefsPage(QWidget* parent = nullptr);

    void setStationName(const std::string& name);
    void setUptime(const std::string& text);

private:
    TextField* stationNameText;
    TextField* stationUptimeTextField;
};

}  // namespace vm
