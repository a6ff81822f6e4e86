#pragma once
// What the band-stack editor needs of the application's controller: a band's entries, handing
// the edited list back, and the alerts' appearance. Main thread only.
#include "app/memory/BandStack.h"

#include <QPalette>

#include <optional>
#include <string>
#include <vector>

namespace vm {

class StackSortHost {
public:
    virtual ~StackSortHost() = default;

    // The band's entries (the stack's own entry objects), empty when the band has no stack.
    virtual std::vector<StackEntry> loadStackObjectArray(const std::string& band) = 0;
    virtual void saveStackObjectArrayforBand(const std::string& band,
                                             const std::vector<StackEntry>& entries) = 0;
    virtual std::optional<QPalette> windowAppearance() const = 0;
};

}  // namespace vm
