#include "engine/TWParamValue.h"

const std::string& TWParamValue::text() const {
    static const std::string empty;
    const auto* text = std::get_if<std::string>(&value_);
    return text ? *text : empty;
}

std::int64_t TWParamValue::number() const {
    const auto* number = std::get_if<std::int64_t>(&value_);
    return number ? *number : 0;
}

const TWParamValue::List& TWParamValue::list() const {
    static const List empty;
    const auto* list = std::get_if<List>(&value_);
    return list ? *list : empty;
}
