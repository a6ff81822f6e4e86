#include "app/windows/SlicePrefsPage.h"

#include "app/windows/SlicePanel.h"
#include "app/windows/WidgetKit.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace vm {

SlicePrefsPage::SlicePrefsPage(QWidget* parent) : PreferencesPage(parent) {
    setObjectName(QStringLiteral("slicePrefsView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    sliceTabView = new QTabWidget(this);
    sliceTabView->setObjectName(QStringLiteral("sliceTabView"));
    const char letters[] = {'A', 'B', 'C', 'D'};
    for (int i = 0; i < 4; ++i) {
        slicePanels[i] = new SlicePanel(letters[i]);
        sliceTabView->addTab(kit::scrolling(slicePanels[i]), QStringLiteral("Off"));
    }
    layout->addWidget(sliceTabView);
    stored_.tabView(sliceTabView, "slice_tab_view");
}

void SlicePrefsPage::setTabTitle(int index, const QString& title) {
    sliceTabView->setTabText(index, title);
}

SlicePanel* SlicePrefsPage::panel(int index) const { return slicePanels.at(index); }

int SlicePrefsPage::selectedTab() const { return sliceTabView->currentIndex(); }

}  // namespace vm
