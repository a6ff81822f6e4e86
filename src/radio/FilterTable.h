#pragma once
// The stock filter widths that go with a radio session: for each of the modes CW, USB, LSB,
// DIGU, DIGL, AM and SAM, its list of filter specifications in menu order. Built once, shared.
#include "radio/FilterRecord.h"

#include <map>
#include <string>
#include <vector>

namespace vm {

using FilterTable = std::map<std::string, std::vector<FilterSpec>, std::less<>>;

const FilterTable& stockFilterTable();

}  // namespace vm
