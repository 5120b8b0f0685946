#include "DateText.h"

#include <gtest/gtest.h>

using namespace endomira;

TEST(DateText, WritesDayMonthYear) {
    EXPECT_EQ(DateToText(QDate(1950, 3, 14)), QStringLiteral("14/03/1950"));
    EXPECT_EQ(DateToText(QDate(2026, 12, 1)), QStringLiteral("01/12/2026"));
    EXPECT_EQ(DateToText(QDate()), QString());
}

TEST(DateText, ReadsOnlyRealDaysInTheFixedForm) {
    struct Case {
        const char* text;
        QDate expected;
    };
    const Case cases[] = {
        {"14/03/1950", QDate(1950, 3, 14)},
        {"29/02/2024", QDate(2024, 2, 29)},
        {"29/02/2023", QDate()},
        {"31/04/2020", QDate()},
        {"00/01/2020", QDate()},
        {"01/13/2020", QDate()},
        {"  /  /    ", QDate()},
        {"1/3/1950", QDate()},
        {"14-03-1950", QDate()},
        {"14/03/195a", QDate()},
        {"", QDate()},
        {"01/01/0000", QDate()},
    };
    for (const Case& c : cases) {
        const auto date = TextToDate(QString::fromUtf8(c.text));
        EXPECT_EQ(date.value_or(QDate()), c.expected) << c.text;
    }
}

TEST(DateText, EmptyMaskIsRecognised) {
    EXPECT_TRUE(IsEmptyDateText(kEmptyDateText));
    EXPECT_TRUE(IsEmptyDateText(QString()));
    EXPECT_FALSE(IsEmptyDateText(QStringLiteral("14/  /    ")));
}
