#include "HistogramText.h"

#include "RealText.h"

#include <optional>

namespace endomira {

namespace {

constexpr QChar kSeparator = u';';

// A piece is the number alone: the blanks a typed number may carry around it are refused here.
std::optional<std::int32_t> ReadPiece(QStringView piece) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (!piece.isEmpty() && (blank(piece.front()) || blank(piece.back()))) {
        return std::nullopt;
    }
    return TryTextToInt(piece);
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
