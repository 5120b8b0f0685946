#include "Clock.h"

#include <atomic>
#include <limits>

namespace endomira {

namespace {

// The Julian day of the date set, or this value for the system's date.
constexpr qint64 kSystemDate = std::numeric_limits<qint64>::min();
std::atomic<qint64> gToday{kSystemDate};

QDate SetDate() {
    const qint64 day = gToday.load();
    return day == kSystemDate ? QDate() : QDate::fromJulianDay(day);
}

} // namespace

QDate Today() {
    const QDate set = SetDate();
    return set.isValid() ? set : QDate::currentDate();
}

void SetToday(const QDate& date) {
    gToday.store(date.isValid() ? date.toJulianDay() : kSystemDate);
}

TScopedToday::TScopedToday(const QDate& date) : Previous_(SetDate()) {
    SetToday(date);
}

TScopedToday::~TScopedToday() {
    SetToday(Previous_);
}

} // namespace endomira
