#include "app/windows/StationPrefsPage.h"

#include "app/windows/WidgetKit.h"

namespace vm {

using namespace kit;

StationPrefsPage::StationPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    setObjectName(QStringLiteral("regPrefsView"));
    auto* grid = new QGridLayout(this);
    auto* station = group(grid, 0, 0, QStringLiteral("Station"));
    stationNameText = textField(this, QStringLiteral("stationNameText"));
    stationNameText->setMinimumWidth(220);
    row(station, QStringLiteral("Station name"), {stationNameText});
    stationUptimeTextField = textField(this, QStringLiteral("stationUptimeTextField"));
    stationUptimeTextField->setReadOnly(true);
    stationUptimeTextField->setMinimumWidth(220);
    row(station, QStringLiteral("Uptime"), {stationUptimeTextField});
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
}

void StationPrefsPage::setUptime(const std::string& text) {
    stationUptimeTextField->setText(QString::fromStdString(text));
}

void StationPrefsPage::setStationName(const std::string& name) {
    stationNameText->setStringValue(name);
}

}  // namespace vm
