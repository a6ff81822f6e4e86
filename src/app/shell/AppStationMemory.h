#pragma once
// The application controller as the station memory's rooms see it (the user memories, the TNF
// window and the band-stack editor): the open radio, its active slice, the panadapters, the
// band stacks and the alerts' appearance, read from the one AppDelegate of the program. The
// controller owns it and hands it to its rooms, which hold it weakly. Main thread only.
#include "app/memory/StackSortHost.h"
#include "app/memory/TnfHost.h"
#include "app/memory/UserMemoryHost.h"

namespace vm {

class AppDelegate;

class AppStationMemory : public UserMemoryHost, public TnfHost, public StackSortHost {
public:
    explicit AppStationMemory(AppDelegate& app) : app_(app) {}

    // --- The user memories.
    bool radioIsOpen() const override;
    std::shared_ptr<Slice> activeVFO() const override;
    std::shared_ptr<Slice> sliceWithNumber(int number) const override;
    Text radioCallsign() const override;
    Number rfPowerLevel() const override;
    void setRfPowerLevel(Number level) override;
    void showBandOfMemory(double presentMHz, double memoryMHz) override;
    std::optional<QPalette> windowAppearance() const override;
    void showNotification(const std::string& title, const std::string& text) override;

    // --- The TNF window.
    std::shared_ptr<Radio> openRadio() const override;
    std::optional<double> mouseMHzOfLastPanEntered() const override;
    std::optional<double> centerOfHudPanafall() const override;

    // --- The band-stack editor. An edited list is written to the file at once.
    std::vector<StackEntry> loadStackObjectArray(const std::string& band) override;
    void saveStackObjectArrayforBand(const std::string& band,
                                     const std::vector<StackEntry>& entries) override;

private:
    AppDelegate& app_;
};

}  // namespace vm
