#pragma once

#include <QString>
#include <stdexcept>

namespace endomira {

// A text that should have held a number and did not. Where the text came from a settings key,
// Section and Key name it so that the operator can find the line to correct.
enum class TNumberKind { Integer, Real };

class TConversionError : public std::runtime_error {
public:
    TConversionError(const QString& text, TNumberKind expected, const QString& section = {},
                     const QString& key = {});

    const QString& Text() const { return Text_; }
    const QString& Section() const { return Section_; }
    const QString& Key() const { return Key_; }
    TNumberKind Expected() const { return Expected_; }
    // The operator's message, in Portuguese.
    QString Message() const;

private:
    QString Text_;
    TNumberKind Expected_;
    QString Section_;
    QString Key_;
};

} // namespace endomira
