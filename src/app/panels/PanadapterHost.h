#pragma once
// What a panadapter controller asks of the application around its pan: the debug setting, the
// names of the open radio's transverters and the label of the pan's tab in the preferences. The
// app controller implements it; tests implement it in a few lines. Main thread only.
#include <string>

namespace vm {

class PanadapterHost {
public:
    virtual ~PanadapterHost() = default;

    // The debug check box is on: the pan's handlers write their debug lines.
    virtual bool debugEnabled() const = 0;
    // The name of the open radio's transverter of a band "X<key>"; "?" without one.
    virtual std::string xvtrNameForXKey(const std::string& band) const = 0;
    // The label of pan 0 to 3's tab among the preferences' panadapter tabs.
    virtual void setPanadapterTabLabel(int pan, const std::string& label) = 0;
};

}  // namespace vm
