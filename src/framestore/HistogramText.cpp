#include "HistogramText.h"

#include <limits>
#include <optional>

namespace endomira {

namespace {

constexpr QChar kSeparator = u';';

std::optional<std::int32_t> ReadPiece(QStringView piece) {
    qsizetype i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == u'+' || piece[i] == u'-')) {
        negative = piece[i] == u'-';
        ++i;
    }
    if (i == piece.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < piece.size(); ++i) {
        const QChar c = piece[i];
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

QString WriteHistogramString(std::span<const std::uint16_t> values) {
    QString text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += kSeparator;
        }
        text += QString::number(values[i]);
    }
    return text;
}

bool ReadHistogramString(QStringView text, std::span<std::uint16_t> values) {
    // Piece by piece: up to the next ";" or, for the last piece, to the end of the text.
    qsizetype start = 0;
    bool more = true;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!more) {
            return false; // fewer pieces than values
        }
        const qsizetype separator = text.indexOf(kSeparator, start);
        more = separator >= 0;
        const QStringView piece = more ? text.mid(start, separator - start) : text.mid(start);
        const std::optional<std::int32_t> value = ReadPiece(piece);
        if (!value) {
            return false;
        }
        // The fields are 16 bits wide and keep the low bits, as the stored field always has.
        values[i] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(*value));
        start = separator + 1;
    }
    return !more; // more pieces than values is malformed too
}

} // namespace endomira
