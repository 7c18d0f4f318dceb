// The texts the lookup screens make of record values: an absent value shows as nothing (never
// "(null)"), and a value put in brackets is left out altogether when empty.
#pragma once

#include <QString>

#include "core/protocol/BaseVO.h"

namespace oa {

// The value as shown: the empty text when absent.
inline QString shownText(const Text& value) {
    return QString::fromStdString(value.value_or(std::string()));
}

// `format` ("(%1)", "（%1）") filled with the value; the empty text when the value is absent or
// empty.
inline QString enclosed(const QString& format, const Text& value) {
    return value && !value->empty() ? format.arg(shownText(value)) : QString();
}

}  // namespace oa
