#include "Win1252Text.h"

namespace endomira {

bool IsWin1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return true;
    }
    // The characters that Windows-1252 places at 0x80..0x9F.
    static constexpr char16_t kHigh[] = {
        0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178,
    };
    for (const char16_t h : kHigh) {
        if (u == h) {
            return true;
        }
    }
    return false;
}

QChar Win1252Upper(QChar c) {
    const QChar upper = c.toUpper();
    return IsWin1252(c) && IsWin1252(upper) ? upper : c;
}

QChar Win1252Lower(QChar c) {
    const QChar lower = c.toLower();
    return IsWin1252(c) && IsWin1252(lower) ? lower : c;
}

QString Win1252LowerText(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        c = Win1252Lower(c);
    }
    return result;
}

} // namespace endomira
