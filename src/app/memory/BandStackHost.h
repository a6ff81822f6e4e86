#pragma once
// What the band-stack room needs of the application's controller: the folder of the data files,
// the debug switch, the active slice and a way to tell the user. Main thread only.
#include <memory>
#include <string>

namespace vm {

class Slice;

class BandStackHost {
public:
    virtual ~BandStackHost() = default;

    virtual std::string dataFilesFolder() const = 0;
    virtual bool debugEnabled() const = 0;
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    virtual void notifyUser(const std::string& title, const std::string& text) = 0;
};

}  // namespace vm
