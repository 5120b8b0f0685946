#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <span>

namespace endomira {

// The text form of a cell distribution stored with an examination (EXM_MORPHOINFO: the five
// sides classes; EXM_MEGATINFO: the seven area classes): the values in class order as plain
// decimal integers joined by ";", for example "12;30;45;9;4".
QString WriteHistogramString(std::span<const std::uint16_t> values);

// Reads such a text into values, one piece per value in order. A piece is an optional sign and
// decimal digits within 32 bits, nothing else, stored as the 16-bit field stores it. Returns false
// for a malformed text: a piece that is not such a number, or fewer or more pieces than values.
// The values read before the failing piece keep their new contents.
bool ReadHistogramString(QStringView text, std::span<std::uint16_t> values);

} // namespace endomira
