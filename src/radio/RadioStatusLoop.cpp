// The key/value loop shared by the radio-wide status readers, and the step that stores a value
// from the radio: one main-queue task per key that stores the value straight into the property
// and announces it, so that nothing read from the radio goes back to it through a setter.
#include "platform/core/CharacterSet.h"
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/StatusFields.h"
#include "radio/TextValues.h"

namespace vm {

StatusFields::StatusFields(const TokenTable& tokens, std::initializer_list<StatusField> fields)
    : tokens_(tokens) {
    for (const StatusField& field : fields) {
        byToken_.emplace(tokens.lookup(field.key), field);
    }
}

const StatusField* StatusFields::find(std::string_view key) const {
    const int token = tokens_.lookup(key);
    if (token == 0) {
        return nullptr;
    }
    const auto found = byToken_.find(token);
    return found == byToken_.end() ? nullptr : &found->second;
}

namespace {

bool readsInteger(StatusStore store) {
    switch (store) {
        case StatusStore::Drop:
        case StatusStore::Number:
        case StatusStore::Boolean:
        case StatusStore::IambicMode:
        case StatusStore::TuneGuarded: return true;
        default: return false;
    }
}

Number numberOrNone(int number) {
    return number != 0 ? Number(number) : Number();
}

}  // namespace

// Key up to "=", then the value up to the next space or line feed, then any run of spaces and line
// feeds, until the end of the line. A key may hold spaces ("filter_sharpness CW level"). A value
// that does not begin with a number stores 0; reading it as a whole word keeps the next key intact.
void Radio::readStatusFields(Scanner& scan, const StatusFields& fields, UnknownStatusLog logUnknown) {
    static const CharacterSet valueEnd = CharacterSet::fromString(" \n");
    int lastInteger = 0;
    while (!scan.isAtEnd()) {
        std::string key;
        scan.scanUpToString("=", &key);
        scan.scanString("=");
        const StatusField* field = fields.find(key);
        if (field && field->store == StatusStore::Oscillator) {
            parseOscillatorToken(scan);
        } else if (field && field->store == StatusStore::RestOfLine) {
            scan.setLocation(scan.string().size());
        } else {
            std::string value;
            scan.scanUpToCharactersFromSet(valueEnd, &value);
            if (!field) {
                logUnknown({key, value, lastInteger, scan});
            } else {
                const int integer = readsInteger(field->store) ? textIntValue(value) : 0;
                if (readsInteger(field->store)) {
                    lastInteger = integer;
                }
                applyStatusField(*field, value, integer);
            }
        }
        scan.scanCharactersFromSet(valueEnd);
    }
}

void Radio::applyStatusField(const StatusField& field, const std::string& value, int integer) {
    switch (field.store) {
        case StatusStore::Drop:
        case StatusStore::Oscillator:
        case StatusStore::RestOfLine: break;
        case StatusStore::Number: storeOnMain(this->*field.number, Number(integer)); break;
        case StatusStore::Boolean: storeOnMain(this->*field.number, Number(integer != 0 ? 1 : 0)); break;
        case StatusStore::TextBoolean:
            storeOnMain(this->*field.number, Number(textBoolValue(value) ? 1 : 0));
            break;
        case StatusStore::Text: storeOnMain(this->*field.text, Text(value)); break;
        case StatusStore::IambicMode: storeOnMain(this->*field.text, Text(integer == 0 ? "A" : "B")); break;
        case StatusStore::InterlockState:
            storeOnMain(this->*field.number, numberOrNone(statusInterlockStateTokens()->lookup(value)));
            break;
        case StatusStore::AtuStatus:
            // Set at once on this queue; observers hear of it here, not on the main queue.
            (this->*field.number).set(numberOrNone(statusAtuStatusTokens()->lookup(value)));
            break;
        case StatusStore::TuneGuarded:
            // Power reports that arrive while tuning are not kept.
            if (tuneEnabled().value_or(0) == 0) {
                storeOnMain(this->*field.number, Number(integer));
            }
            break;
    }
}

}  // namespace vm
