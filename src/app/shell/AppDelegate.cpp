#include "app/shell/AppDelegate.h"

#include "app/memory/BandStackController.h"
#include "app/memory/FilterPresetController.h"
#include "app/memory/ProfileController.h"
#include "app/memory/StackSortController.h"
#include "app/memory/TnfWindowController.h"
#include "app/memory/UserMemoryController.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/RadioControlsController.h"
#include "app/panels/SliceMenuActions.h"
#include "app/panels/SlicePanelController.h"
#include "app/panels/TuningController.h"
#include "app/shell/AppDisplayController.h"
#include "app/shell/AppStationMemory.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/EqualizerPrefsPage.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePrefsPage.h"
#include "app/windows/SplitWindow.h"
#include "app/windows/StackSortWindow.h"
#include "app/windows/StatusImages.h"
#include "app/windows/TnfPanel.h"
#include "display/views/PanAdapterView.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/SleepWatcher.h"
#include "platform/ui/UserNotifications.h"
#include "util/SharedFunctions.h"
#include "util/VMMegahertzFormatter.h"

#include <QApplication>
#include <QNetworkAccessManager>

#include <mutex>

namespace vm {

namespace {
std::mutex gRefMutex;
std::weak_ptr<AppDelegate> gRefToSelf;
}  // namespace

std::shared_ptr<AppDelegate> AppDelegate::create(Options options) {
    return std::shared_ptr<AppDelegate>(new AppDelegate(std::move(options)));
}

AppDelegate::AppDelegate(Options options) : options_(std::move(options)) {}

AppDelegate::~AppDelegate() {
    // The panadapters' views ask the display controller until they go.
    for (auto& panadapter : panadapters) {
        panadapter.reset();
    }
    for (const auto& tokens : {observers_, sessionObservers_}) {
        for (auto token : tokens) {
            NotificationCenter::defaultCenter().removeObserver(token);
        }
    }
}

std::shared_ptr<AppDelegate> AppDelegate::refToSelf() {
    std::lock_guard lock(gRefMutex);
    return gRefToSelf.lock();
}

void AppDelegate::storeRefToSelf() {
    std::lock_guard lock(gRefMutex);
    gRefToSelf = weak_from_this();
}

std::string AppDelegate::versionTitleString() const {
    return "velmoraSDR " + displayLongVersionString();
}

void AppDelegate::createWindows() {
    auto own = [this](auto* widget) {
        ownedWindows_.emplace_back(widget);
        return widget;
    };
    prefsWindow = own(new PreferencesWindow);
    createPanadapters();
    PanadapterWindow* mainWindow = panadapters[0]->velmoraSDRWindow.get();
    window = mainWindow;
    mainControls = mainWindow->controlsBar;
    filterPresetController = std::make_shared<FilterPresetController>(weak_from_this());
    for (std::size_t panel = 0; panel < slicePanelControllers.size(); ++panel) {
        slicePanelControllers[panel] = SlicePanelController::create(
            int(panel), prefsWindow->slicePage().panel(int(panel)),
            filterPresetController->presetDictionary, weak_from_this());
    }
    hud = own(new HudWindow);
    cwxWindow = own(new CwxWindow);
    memoryPanel = own(new MemoryPanel);
    tnfPanel = own(new TnfPanel);
    splitWindow = own(new SplitWindow);
    stackSortWindow = own(new StackSortWindow);
    stationMemory = std::make_shared<AppStationMemory>(*this);
    userMemoryController = UserMemoryController::create(*memoryPanel, dataFilesPath, stationMemory);
    tnfWindowController = TnfWindowController::create(*tnfPanel, stationMemory);
    bandStackController = std::make_shared<BandStackController>(
        StackSortController::create(*stackSortWindow, stationMemory), weak_from_this());
    ownedMenus_ = std::make_unique<MainMenus>(mainWindow->menuBar());
    menus = ownedMenus_.get();
    profileController =
        ProfileController::create(*menus, prefsWindow->profilesPage(), weak_from_this());
    menus->preferencesMenuItem->setAction(
        [this](MenuItem&) { prefsWindow->makeKeyAndOrderFront(); });
    menus->quitMenuItem->setAction([weak = weak_from_this()](MenuItem&) {
        if (const auto self = weak.lock()) {
            self->quit();
        }
    });
    connectHelpMenu();
    const EqualizerPrefsPage& equalizers = prefsWindow->equalizerPage();
    radioControls = RadioControlsController::create(
        RadioControls::find({prefsWindow, mainControls, tnfPanel}, *menus, equalizers.rxEqualizer(),
                            equalizers.txEqualizer()),
        weak_from_this());
    tuning = TuningController::create(*mainControls, weak_from_this(), splitWindow, hud);
    sliceMenu = SliceMenuActions::create(*menus, weak_from_this());
    for (const auto& panadapter : panadapters) {
        panadapter->panAdapterView->setContextMenu(menus->panContextMenu.get());
    }
}

void AppDelegate::loadImages() {
    greenBulb = statusImageNamed("green_ball");
    greyBulb = statusImageNamed("gray_ball");
    yellowBulb = statusImageNamed("yellow_ball");
    redBulb = statusImageNamed("red_ball");
    blueBulb = statusImageNamed("blue_ball");
    orangeBulb = statusImageNamed("orange_ball");
    play_button_green = statusImageNamed("play_green");
    play_button_black = statusImageNamed("play_black");
    red_button = statusImageNamed("red_button");
    red_button_dark = statusImageNamed("red_button_dark");
    saveButtonDark = statusImageNamed("save");
    addButtonDark = statusImageNamed("plus");
    deleteButtonDark = statusImageNamed("delete");
    goButtonDark = statusImageNamed("go_512x512");
    saveButtonLight = statusImageNamed("save_light");
    addButtonLight = statusImageNamed("plus_light");
    deleteButtonLight = statusImageNamed("delete_light");
    goButtonLight = statusImageNamed("go_512x512_light");
}

}  // namespace vm
