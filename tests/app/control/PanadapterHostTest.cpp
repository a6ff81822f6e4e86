// The app controller as its panadapters' host: a pan's tab in the preferences carries its band,
// or the name of the open radio's transverter for a transverter band.
#include "ObserverFixture.h"

#include "app/windows/PreferencesWindow.h"

#include <QTabWidget>

#include <gtest/gtest.h>

namespace vm {
namespace {

class AppAsPanadapterHost : public test::ObserverFixture {
protected:
    void SetUp() override {
        ObserverFixture::SetUp();
        openRadio();
    }
};

TEST_F(AppAsPanadapterHost, APansTabCarriesItsBandOrTheOpenRadiosTransverterName) {
    controller->openRadio->radioRunQueue()->sync([&] {
        controller->openRadio->parseRadioStream("S1|xvtr 2 name=2m_Xvtr rf_freq=144.0 in_use=1");
    });
    test::mainQueueBarrier();
    auto pan = Panafall::create(link, "0x40000002");
    pan->band.store("40");
    pan->bandwidth.store(0.15f);
    controller->panafallCreatedNotification({"PanafallCreated", pan, {}});
    QTabWidget& tabs = prefsControl<QTabWidget>("panadapterTabView");
    EXPECT_EQ(tabs.tabText(2), "40 M");
    const struct {
        const char* band;
        const char* label;
    } cases[] = {{"X2", "2m_Xvtr"}, {"X7", "?"}, {"X", "?"}, {"20", "20 M"}};
    for (const auto& [band, label] : cases) {
        pan->band.set(band);
        EXPECT_EQ(tabs.tabText(2).toStdString(), label) << band;
    }
}

}  // namespace
}  // namespace vm
