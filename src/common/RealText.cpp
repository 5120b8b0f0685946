#include "RealText.h"

#include "ConversionError.h"

#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace endomira {

namespace {

std::atomic<char16_t> gSeparator{u'.'};

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView Trimmed(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

void SetDecimalSeparator(QChar separator) {
    gSeparator.store(separator.unicode());
}

QChar DecimalSeparator() {
    return QChar(gSeparator.load());
}

std::optional<double> TryTextToReal(QStringView text) {
    const QStringView t = Trimmed(text);
    const QChar sep = DecimalSeparator();
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(t.size()));
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        if (t[i] == u'-') {
            ascii.push_back('-');
        }
        ++i;
    }
    int mantissaDigits = 0;
    while (i < t.size() && IsDigit(t[i])) {
        ascii.push_back(static_cast<char>(t[i].unicode()));
        ++mantissaDigits;
        ++i;
    }
    // The separator is tested before the exponent so that an unusual separator such as "e"
    // still reads as a separator.
    if (i < t.size() && t[i] == sep) {
        ascii.push_back('.');
        ++i;
        while (i < t.size() && IsDigit(t[i])) {
            ascii.push_back(static_cast<char>(t[i].unicode()));
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
            ascii.push_back(static_cast<char>(t[i].unicode()));
            ++i;
        }
        int exponentDigits = 0;
        while (i < t.size() && IsDigit(t[i])) {
            ascii.push_back(static_cast<char>(t[i].unicode()));
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != t.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double TextToReal(const QString& text) {
    if (const auto value = TryTextToReal(text)) {
        return *value;
    }
    throw TConversionError(text, TNumberKind::Real);
}

std::optional<int> TryTextToInt(QStringView text) {
    const QStringView t = Trimmed(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size()) {
        return std::nullopt;
    }
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (!IsDigit(t[i])) {
            return std::nullopt;
        }
        value = value * 10 + (t[i].unicode() - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) {
            return std::nullopt;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

int TextToInt(const QString& text) {
    if (const auto value = TryTextToInt(text)) {
        return *value;
    }
    throw TConversionError(text, TNumberKind::Integer);
}

QString FormatReal(double value, QStringView pattern) {
    int minIntegerDigits = 0;
    int decimals = 0;
    bool afterPoint = false;
    for (const QChar c : pattern) {
        if (c == u'.') {
            if (afterPoint) {
                throw std::invalid_argument("FormatReal: two points in the pattern");
            }
            afterPoint = true;
        } else if (c == u'0') {
            (afterPoint ? decimals : minIntegerDigits) += 1;
        } else if (c != u'#' || afterPoint) {
            throw std::invalid_argument("FormatReal: unsupported pattern");
        }
    }
    if (!std::isfinite(value)) {
        return std::isnan(value) ? QStringLiteral("NAN")
                                 : (value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF"));
    }
    // to_chars with a precision rounds the exact binary value, an exact half to even.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        throw std::invalid_argument("FormatReal: value out of range");
    }
    std::string digits(buffer.data(), result.ptr);
    bool negative = false;
    if (!digits.empty() && digits.front() == '-') {
        negative = true;
        digits.erase(digits.begin());
    }
    if (digits.find_first_not_of("0.") == std::string::npos) {
        negative = false; // no "-0.00"
    }
    std::string integerPart = digits.substr(0, digits.find('.'));
    const std::string fraction = decimals > 0 ? digits.substr(digits.find('.') + 1) : std::string();
    if (integerPart == "0" && minIntegerDigits == 0 && decimals > 0) {
        integerPart.clear(); // "#.00" style patterns drop a lone zero
    }
    while (static_cast<int>(integerPart.size()) < minIntegerDigits) {
        integerPart.insert(integerPart.begin(), '0');
    }
    QString out;
    if (negative) {
        out += u'-';
    }
    out += QString::fromLatin1(integerPart);
    if (decimals > 0) {
        out += DecimalSeparator();
        out += QString::fromLatin1(fraction);
    }
    return out;
}

} // namespace endomira
