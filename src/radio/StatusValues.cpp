#include "radio/StatusValues.h"

#include "platform/core/TextValues.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"
#include "util/TextUnits.h"

#include <utility>

namespace vm::status {

namespace {

std::string wordAt(StatusLine& line) {
    static const CharacterSet blankOrNewline = CharacterSet::fromString(" \n");
    std::string text;
    line.scan.scanUpToCharactersFromSet(blankOrNewline, &text);
    return text;
}

int integerOfWord(StatusLine& line) {
    line.lastInteger = textIntValue(wordAt(line));
    return line.lastInteger;
}

}  // namespace

Text word(StatusLine& line) { return wordAt(line); }

Text wordToBlank(StatusLine& line) {
    std::string text;
    line.scan.scanUpToString(" ", &text);
    return text;
}

Number wordInteger(StatusLine& line) { return integerOfWord(line); }

Number wordBoolean(StatusLine& line) { return integerOfWord(line) != 0 ? 1 : 0; }

Number wordTruth(StatusLine& line) { return textBoolValue(wordAt(line)) ? 1 : 0; }

Flag wordFlag(StatusLine& line) { return integerOfWord(line) != 0; }

Flag wordTruthFlag(StatusLine& line) { return textBoolValue(wordAt(line)); }

Integer wordLong(StatusLine& line) {
    Scanner scan(wordAt(line));
    scan.setCharactersToBeSkipped(std::nullopt);
    long long value = 0;
    return scan.scanLongLong(&value) ? value : 0;
}

Text streamIdWord(StatusLine& line) {
    const std::string text = wordAt(line);
    return text.empty() ? text : Radio::reformatStreamId(text);
}

Float wordDecimal(StatusLine& line) {
    return static_cast<float>(strings::doubleValue(wordAt(line)));
}

List list(StatusLine& line) { return strings::units::split(wordAt(line), ','); }

Flag enabled(StatusLine& line) {
    const std::string text = wordAt(line);
    return text == "enabled" || text == "1";
}

Integer integer(StatusLine& line) {
    long long value = 0;
    line.scan.scanLongLong(&value);
    return value;
}

Flag boolean(StatusLine& line) {
    long long value = 0;
    line.scan.scanLongLong(&value);
    return value != 0;
}

Float decimal(StatusLine& line) {
    float value = 0;
    line.scan.scanFloat(&value);
    return value;
}

}  // namespace vm::status
