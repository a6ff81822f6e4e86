#include "app/memory/UserMemoryFile.h"

#include "platform/core/AtomicFile.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <sys/stat.h>
#include <array>

namespace vm {

const char* const kUserMemoriesHeader =
    ", OWNER, GROUP, FREQ, NAME, MODE, STEP, OFFSET_DIRECTION, REPEATER_OFFSET, TONE_MODE, "
    "TONE_VALUE, RF_POWER, RX_FILTER_LOW, RX_FILTER_HIGH,HIGHLIGHT, HIGHLIGHT_COLOR, SQUELCH, "
    "SQUELCH_LEVEL, RTTY_MARK, RTTY_SHIFT, DIGL_OFFSET, DIGU_OFFSET";

namespace {

// The part of the header that tells a header line, wherever it stands.
constexpr const char* kHeaderMark = "OWNER, GROUP, FREQ, NAME, MODE";
constexpr const char* kTag = "MEMORY";

// The columns of a memory line after the tag, in file order.
constexpr std::array<MemorySlot::Text MemorySlot::*, 21> kColumns{&MemorySlot::owner,
                                                                  &MemorySlot::group,
                                                                  &MemorySlot::freq,
                                                                  &MemorySlot::name,
                                                                  &MemorySlot::mode,
                                                                  &MemorySlot::step,
                                                                  &MemorySlot::offset_direction,
                                                                  &MemorySlot::repeater_offset,
                                                                  &MemorySlot::tone_mode,
                                                                  &MemorySlot::tone_value,
                                                                  &MemorySlot::rf_power,
                                                                  &MemorySlot::rx_filter_low,
                                                                  &MemorySlot::rx_filter_high,
                                                                  &MemorySlot::highlight,
                                                                  &MemorySlot::highlight_color,
                                                                  &MemorySlot::squelch,
                                                                  &MemorySlot::squelch_level,
                                                                  &MemorySlot::rtty_mark,
                                                                  &MemorySlot::rtty_shift,
                                                                  &MemorySlot::digl_offset,
                                                                  &MemorySlot::digu_offset};

// A stored value as one field: the characters that end a field or a line become blanks.
std::string fieldText(const MemorySlot::Text& value) {
    std::string text = value.value_or("");
    for (char& c : text) {
        if (c == ',' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

double number(const MemorySlot::Text& value) { return value ? strings::doubleValue(*value) : 0.0; }

std::string memoryLine(const MemorySlot& memory) {
    std::string line = std::string(kTag) + ",";
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const auto& value = memory.*kColumns[i];
        if (kColumns[i] == &MemorySlot::freq) {
            line += fmt::format("{:.5f}", number(value));
        } else if (kColumns[i] == &MemorySlot::repeater_offset) {
            line += fmt::format("{:.3f}", number(value));
        } else if (kColumns[i] == &MemorySlot::tone_value) {
            line += fmt::format("{:05.1f}", number(value));
        } else {
            line += fieldText(value);
        }
        line += i + 1 < kColumns.size() ? "," : "\n";
    }
    return line;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

MemorySlot::Text* memoryField(MemorySlot& memory, const std::string& key) {
    static const std::array<const char*, 21> kKeys{"owner",
                                                   "group",
                                                   "freq",
                                                   "name",
                                                   "mode",
                                                   "step",
                                                   "offset_direction",
                                                   "repeater_offset",
                                                   "tone_mode",
                                                   "tone_value",
                                                   "rf_power",
                                                   "rx_filter_low",
                                                   "rx_filter_high",
                                                   "highlight",
                                                   "highlight_color",
                                                   "squelch",
                                                   "squelch_level",
                                                   "rtty_mark",
                                                   "rtty_shift",
                                                   "digl_offset",
                                                   "digu_offset"};
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (key == kKeys[i]) {
            return &(memory.*kColumns[i]);
        }
    }
    return nullptr;
}

std::string userMemoriesText(const MemoryList& memories) {
    std::string text = std::string(kUserMemoriesHeader) + "\n";
    for (const auto& memory : memories) {
        if (memory) {
            text += memoryLine(*memory);
        }
    }
    return text;
}

UserMemoriesRead userMemoriesFromText(const std::string& text) {
    UserMemoriesRead read;
    std::vector<std::string> lines = split(text, '\n');
    if (text.empty() || lines.empty()) {
        read.outcome = UserMemoriesRead::Outcome::kUnreadable;
        return read;
    }
    if (lines.front().find(kHeaderMark) == std::string::npos) {
        read.outcome = UserMemoriesRead::Outcome::kInvalidHeader;
        return read;
    }
    read.outcome = UserMemoriesRead::Outcome::kRead;
    for (const std::string& raw : lines) {
        if (raw.empty()) {
            continue;
        }
        const std::string line = strings::removeLineControls(raw);
        if (line.find(kHeaderMark) != std::string::npos) {
            continue;
        }
        const std::vector<std::string> fields = split(line, ',');
        if (fields.size() < 2) {
            continue;
        }
        auto memory = std::make_shared<MemorySlot>();
        for (std::size_t i = 1; i < fields.size() && i <= kColumns.size(); ++i) {
            (*memory).*kColumns[i - 1] = fields[i];
        }
        read.memories.push_back(std::move(memory));
    }
    return read;
}

UserMemoriesRead readUserMemories(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    const std::optional<std::string> text = readWholeFile(path);
    if (!text) {
        return {UserMemoriesRead::Outcome::kUnreadable, {}};
    }
    return userMemoriesFromText(*text);
}

bool writeUserMemories(const std::filesystem::path& path, const MemoryList& memories,
                       Error* error) {
    return writeFileAtomically(path, userMemoriesText(memories), 0600, error);
}

}  // namespace vm
