#include "net/TlsSettings.h"

#include <cmath>
#include <limits>

namespace vm::tlssettings {

namespace {

std::optional<bool> asBoolean(const PlistValue& value) {
    if (const bool* b = value.get<bool>()) return *b;
    if (const std::int64_t* i = value.get<std::int64_t>()) return *i != 0;
    return std::nullopt;
}

std::optional<std::int64_t> asNumber(const PlistValue& value) {
    if (const std::int64_t* i = value.get<std::int64_t>()) return *i;
    if (const double* d = value.get<double>()) {
        if (std::isfinite(*d) && std::trunc(*d) == *d &&
            std::fabs(*d) < static_cast<double>(std::numeric_limits<std::int64_t>::max())) {
            return static_cast<std::int64_t>(*d);
        }
    }
    return std::nullopt;
}

std::optional<Bytes> asData(const PlistValue& value) {
    if (const PlistData* d = value.get<PlistData>()) return Bytes(d->begin(), d->end());
    return std::nullopt;
}

std::optional<std::string> asText(const PlistValue& value) {
    if (const std::string* s = value.get<std::string>()) return *s;
    return std::nullopt;
}

std::optional<std::uint32_t> asUnsigned32(const PlistValue& value) {
    const std::optional<std::int64_t> n = asNumber(value);
    if (!n || *n < 0 || *n > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(*n);
}

template <class T, class Convert>
TlsSetting<T> lookup(const TlsSettings& settings, const char* key, Convert convert) {
    TlsSetting<T> result;
    const auto found = settings.find(key);
    if (found != settings.end()) {
        result.present = true;
        result.value = convert(found->second);
    }
    return result;
}

// An array whose every element converts.
template <class T, class Convert>
TlsSetting<std::vector<T>> arrayLookup(const TlsSettings& settings, const char* key,
                                       Convert convert) {
    return lookup<std::vector<T>>(settings, key,
                                  [&](const PlistValue& value) -> std::optional<std::vector<T>> {
                                      const PlistArray* array = value.get<PlistArray>();
                                      if (!array) return std::nullopt;
                                      std::vector<T> out;
                                      for (const PlistValue& element : *array) {
                                          std::optional<T> converted = convert(element);
                                          if (!converted) return std::nullopt;
                                          out.push_back(std::move(*converted));
                                      }
                                      return out;
                                  });
}

}  // namespace

TlsSetting<bool> boolean(const TlsSettings& settings, const char* key) {
    return lookup<bool>(settings, key, asBoolean);
}

TlsSetting<std::int64_t> number(const TlsSettings& settings, const char* key) {
    return lookup<std::int64_t>(settings, key, asNumber);
}

TlsSetting<std::string> text(const TlsSettings& settings, const char* key) {
    return lookup<std::string>(settings, key, asText);
}

TlsSetting<Bytes> data(const TlsSettings& settings, const char* key) {
    return lookup<Bytes>(settings, key, asData);
}

TlsSetting<std::vector<Bytes>> dataArray(const TlsSettings& settings, const char* key) {
    return arrayLookup<Bytes>(settings, key, asData);
}

TlsSetting<std::vector<std::string>> textArray(const TlsSettings& settings, const char* key) {
    return arrayLookup<std::string>(settings, key, asText);
}

TlsSetting<std::vector<std::uint32_t>> numberArray(const TlsSettings& settings, const char* key) {
    return arrayLookup<std::uint32_t>(settings, key, asUnsigned32);
}

}  // namespace vm::tlssettings
