#include "DateText.h"

namespace endomira {

QString DateToText(const QDate& date) {
    if (!date.isValid()) {
        return QString();
    }
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

std::optional<QDate> TextToDate(QStringView text) {
    if (text.size() != 10 || text[2] != u'/' || text[5] != u'/') {
        return std::nullopt;
    }
    auto number = [&](qsizetype from, qsizetype count) -> int {
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const QChar c = text[i];
            if (c < u'0' || c > u'9') {
                return -1;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        return value;
    };
    const int day = number(0, 2);
    const int month = number(3, 2);
    const int year = number(6, 4);
    if (day < 0 || month < 0 || year < 0) {
        return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year == 0) {
        return std::nullopt;
    }
    return date;
}

bool IsEmptyDateText(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ' && c != u'/') {
            return false;
        }
    }
    return true;
}

} // namespace endomira
