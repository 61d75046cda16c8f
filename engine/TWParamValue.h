#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

// One value of the search parameter dictionary: a text, a 64-bit integer or an ordered list
// of values. Texts are raw bytes (a typed extension may be any file-name byte).
class TWParamValue {
public:
    using List = std::vector<TWParamValue>;

    TWParamValue() : value_(std::string()) {}
    TWParamValue(std::string text) : value_(std::move(text)) {}
    TWParamValue(const char* text) : value_(std::string(text)) {}
    TWParamValue(std::int64_t number) : value_(number) {}
    TWParamValue(std::uint64_t number) : value_(static_cast<std::int64_t>(number)) {}
    TWParamValue(int number) : value_(static_cast<std::int64_t>(number)) {}
    TWParamValue(List list) : value_(std::move(list)) {}

    bool isText() const { return std::holds_alternative<std::string>(value_); }
    bool isNumber() const { return std::holds_alternative<std::int64_t>(value_); }
    bool isList() const { return std::holds_alternative<List>(value_); }

    // Neutral answers for the wrong kind: empty text, 0, empty list.
    const std::string& text() const;
    std::int64_t number() const;
    const List& list() const;

    // Whether this is a text equal to `other`, byte for byte.
    bool isText(const std::string& other) const { return isText() && text() == other; }

    bool operator==(const TWParamValue&) const = default;

private:
    std::variant<std::string, std::int64_t, List> value_;
};

// The search parameter dictionary: from key text to value. Absent keys mean "off".
using TWSearchParams = std::map<std::string, TWParamValue>;
