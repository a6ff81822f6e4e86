#pragma once
// The radio's equalizers, tracking notch filters and transverters as the simulated radio keeps
// them when asked to answer their commands (SimRadio::answerObjectCommands): each command that
// changes one of them is answered, after its reply, by the status line a radio sends for the
// object's new state.
//
//   "eq rx info", "eq tx info"           the side's whole status: "eq rxsc mode=0 63Hz=0 ..."
//   "eq <side>sc <key>=<value>"          the new value: "eq <side>sc <key>=<value>"
//   "tnf create freq=<f>"                "tnf <id> freq=<f> depth=1 width=0.0001 permanent=0"
//   "tnf set <id> <key>=<value>"         the new value: "tnf <id> <key>=<value>"
//   "tnf remove <id>"                    "tnf <id> removed"
//   "xvtr create"                        "xvtr <key> name=XVTR rf_freq=0 ... in_use=1"
//   "xvtr set <key> <param> <value>"     the transverter's whole status
//   "xvtr remove <key>"                  "xvtr <key> in_use=0"
//   "spot add <pairs>"                   "spot <index> <pairs>"
//   "spot remove <index>"                "spot <index> removed"
//
// Filters are numbered from 1, transverters keyed from 0 and spots indexed from 0, in order of
// creation. A command for a filter, transverter or spot that does not exist is answered by
// nothing.
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm::sim {

class SimObjects {
public:
    SimObjects();
    // The status texts (the part after "S<handle>|") that answer the command; none for a command
    // these objects do not answer.
    std::vector<std::string> answer(std::string_view command);

private:
    using Fields = std::vector<std::pair<std::string, std::string>>;  // in the radio's key order
    std::vector<std::string> answerEq(const std::vector<std::string>& words);
    std::vector<std::string> answerTnf(const std::vector<std::string>& words);
    std::vector<std::string> answerXvtr(const std::vector<std::string>& words);
    std::vector<std::string> answerSpot(std::string_view command,
                                        const std::vector<std::string>& words);
    template <class Map>
    static typename Map::iterator named(Map& map, const std::vector<std::string>& words);
    static void set(Fields& fields, const std::string& key, const std::string& value);
    static std::string status(std::string_view type, std::string_view id, const Fields& fields);

    std::map<std::string, Fields> equalizers_;  // by side, "rx" and "tx"
    std::map<int, Fields> tnfs_;
    std::map<int, Fields> xvtrs_;
    std::map<int, std::string> spots_;  // the pairs each was added with
    int nextTnf_ = 1;
    int nextXvtr_ = 0;
    int nextSpot_ = 0;
};

}  // namespace vm::sim
