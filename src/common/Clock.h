#pragma once

#include <QDate>

namespace endomira {

// "Today" for the whole program: the system's date unless a test has set one. Ages, the birth
// date check and every other date the program reckons from come from here.
QDate Today();

// Sets the date Today() returns; an invalid date goes back to the system's date.
void SetToday(const QDate& date);

// Sets today for its lifetime and restores the previous setting afterwards.
class TScopedToday {
public:
    explicit TScopedToday(const QDate& date);
    ~TScopedToday();
    TScopedToday(const TScopedToday&) = delete;
    TScopedToday& operator=(const TScopedToday&) = delete;

private:
    QDate Previous_;
};

} // namespace endomira
