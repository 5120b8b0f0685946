#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

namespace endomira {

// The decimal separator of every conversion and formatting of reals in the program. It is set
// once at start from the settings file; the C locale is never consulted.
void SetDecimalSeparator(QChar separator);
QChar DecimalSeparator();

// Text to real with the process's separator: optional blanks, an optional sign, digits with at
// most one separator, an optional exponent (e/E, optional sign, digits), optional blanks.
std::optional<double> TryTextToReal(QStringView text);
// Throws TConversionError.
double TextToReal(const QString& text);

// Text to a 32-bit integer: optional blanks, an optional sign, decimal digits, optional blanks.
std::optional<int> TryTextToInt(QStringView text);
// Throws TConversionError.
int TextToInt(const QString& text);

// Formats a real by a pattern such as "0.00", "0.0000", "0.000000", "00" or "#000": the zeros
// before the point give the least number of integer digits, the zeros after it the number of
// decimals. The value is rounded to that many decimals, an exact half going to the even
// neighbour; a result that rounds to zero carries no minus sign.
QString FormatReal(double value, QStringView pattern);

} // namespace endomira
