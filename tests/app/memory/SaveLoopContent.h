#pragma once
// The two contents the save loop alternates between, large enough that a save takes a while, and
// the bytes each leaves in the file.
#include "app/memory/BandStacks.h"
#include "app/memory/UserMemoryFile.h"
#include "platform/core/KeyedArchiver.h"

#include <string>

namespace vm::test {

inline MemoryList loopMemories(int which) {
    MemoryList list;
    for (int i = 0; i < 3000; ++i) {
        auto m = std::make_shared<MemorySlot>();
        m->owner = which ? "K1ABC" : "N0CALL";
        m->freq = std::to_string(14 + i % 300 / 1000.0);
        m->name = "memory " + std::to_string(i);
        m->mode = which ? "USB" : "CW";
        m->tone_value = "67";
        list.push_back(std::move(m));
    }
    return list;
}

inline BandStacks loopStacks(int which) {
    BandStacks stacks([] { return ArchiveDate{1000}; });
    stacks.createBandStackDictionaryWithDefaults();
    for (int i = 0; i < 400; ++i) {
        stacks.bandStackDictionary["20M"].stackEntries.push_back(
            std::make_shared<FrequencyAndMode>(FrequencyAndMode{
                std::to_string(14.0 + i / 1000.0), which ? "USB" : "CW", ArchiveDate{1.0 * i}}));
    }
    return stacks;
}

inline std::string loopBytes(bool memories, int which) {
    return memories ? userMemoriesText(loopMemories(which))
                    : *archivedData(loopStacks(which).archiveRoot());
}

inline bool saveContent(bool memories, int which, const std::string& path) {
    if (memories) {
        static const MemoryList lists[] = {loopMemories(0), loopMemories(1)};
        return writeUserMemories(path, lists[which]);
    }
    static const BandStacks stacks[] = {loopStacks(0), loopStacks(1)};
    return stacks[which].saveStackDictionary(path);
}

}  // namespace vm::test
