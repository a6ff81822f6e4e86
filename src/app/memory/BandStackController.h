#pragma once
// The band stacks of the station: loaded at launch, grown from the active slice, written after
// every change, and edited in the band-stack editor. What lies outside it (the data folder, the
// active slice, telling the user) comes through BandStackHost. Main thread only.
#include "app/memory/BandStacks.h"

#include <memory>
#include <string>

namespace vm {

class BandStackHost;
class StackSortController;

class BandStackController {
public:
    // The room that edits with `stackSortController`, which it keeps.
    BandStackController(std::shared_ptr<StackSortController> stackSortController,
                        std::weak_ptr<BandStackHost> host);

    // At launch: the file read (an undecodable one set aside, and the user told), the missing
    // default stacks added, and the file written.
    void loadBandStacks();
    // Writes the band stacks; a failed write keeps the old file and tells the user.
    void saveStackDictionary();
    // Adds an entry to the band's stack and writes the file when it changed; a frequency outside
    // the band beeps.
    void saveStackFrequency(const std::string& megahertz, const std::string& mode,
                            const std::string& band);
    // The active slice's frequency and mode into the stack of its band, if it is in one.
    void saveActiveInBandStack();
    // The band-stack editor on a band's stack.
    void editBandStack(const std::string& band);

    BandStacks bandStacks;
    std::shared_ptr<StackSortController> stackSortController;

private:
    std::weak_ptr<BandStackHost> host_;
};

}  // namespace vm
