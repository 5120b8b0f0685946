#include "RealText.h"
#include "ConversionError.h"

#include <gtest/gtest.h>

using namespace endomira;

namespace {

class SeparatorGuard {
public:
    explicit SeparatorGuard(QChar separator) : Saved_(DecimalSeparator()) {
        SetDecimalSeparator(separator);
    }
    ~SeparatorGuard() { SetDecimalSeparator(Saved_); }

private:
    QChar Saved_;
};

} // namespace

TEST(RealText, ReadsWithTheProcessSeparatorOnly) {
    struct Case {
        char16_t separator;
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {u',', "12,5", 12.5},
        {u',', "12.5", std::nullopt},
        {u'.', "12.5", 12.5},
        {u'.', "12,5", std::nullopt},
        {u',', " -0,25 ", -0.25},
        {u',', "+3", 3.0},
        {u',', "1,5E3", 1500.0},
        {u',', "1e-2", 0.01},
        {u',', ",5", 0.5},
        {u',', "5,", 5.0},
        {u',', "", std::nullopt},
        {u',', ",", std::nullopt},
        {u',', "1,2,3", std::nullopt},
        {u',', "abc", std::nullopt},
        {u',', "1e", std::nullopt},
        {u',', "error", std::nullopt},
        {u',', "1e999", std::nullopt},
        {u'.', "0.0014", 0.0014},
    };
    for (const Case& c : cases) {
        SeparatorGuard guard{QChar(c.separator)};
        EXPECT_EQ(TryTextToReal(QString::fromUtf8(c.text)), c.expected)
            << c.text << " with '" << static_cast<char>(c.separator) << "'";
    }
}

TEST(RealText, ConversionFailureNamesTheText) {
    SeparatorGuard guard{QChar(u',')};
    try {
        TextToReal(QStringLiteral("0.0014"));
        FAIL() << "no error";
    } catch (const TConversionError& error) {
        EXPECT_EQ(error.Text(), QStringLiteral("0.0014"));
        EXPECT_TRUE(error.Message().contains(QStringLiteral("0.0014")));
    }
    EXPECT_THROW(TextToInt(QStringLiteral("4,0")), TConversionError);
}

TEST(RealText, IntegersAreDecimalAndInRange) {
    struct Case {
        const char* text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"40", 40},
        {" 40 ", 40},
        {"-7", -7},
        {"+7", 7},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"4.0", std::nullopt},
        {"0x10", std::nullopt},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"99999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TryTextToInt(QString::fromUtf8(c.text)), c.expected) << c.text;
    }
}

TEST(RealText, PatternsRoundHalvesToEvenWithTheSeparator) {
    struct Case {
        char16_t separator;
        double value;
        const char16_t* pattern;
        const char* expected;
    };
    const Case cases[] = {
        {u'.', 12.5, u"0.00", "12.50"},
        {u',', 12.5, u"0.00", "12,50"},
        {u',', 0.125, u"0.00", "0,12"}, // exact half in binary: to the even neighbour
        {u',', 0.375, u"0.00", "0,38"},
        {u',', 1.005, u"0.00", "1,00"}, // 1.005 is stored just below the half
        {u',', -0.125, u"0.00", "-0,12"},
        {u',', -0.001, u"0.00", "0,00"}, // no minus sign on a zero
        {u',', 0.0012345678, u"0.000000", "0,001235"},
        {u'.', 0.0012345678, u"0.000000", "0.001235"},
        {u',', 0.0078125, u"0.000000", "0,007812"},
        {u',', 0.0, u"0.0000", "0,0000"},
        {u',', 2.34567, u"0.0000", "2,3457"},
        {u',', 5.0, u"00", "05"},
        {u',', 2.5, u"00", "02"},
        {u',', 3.5, u"00", "04"},
        {u',', 123.4, u"00", "123"},
        {u',', -5.0, u"00", "-05"},
        {u',', 7.0, u"#000", "007"},
        {u',', 540.4, u"#000", "540"},
        {u',', 1234.0, u"#000", "1234"},
        {u',', 0.0, u"#000", "000"},
        {u',', 99.5, u"#000", "100"},
    };
    for (const Case& c : cases) {
        SeparatorGuard guard{QChar(c.separator)};
        EXPECT_EQ(FormatReal(c.value, QStringView(c.pattern)), QString::fromUtf8(c.expected))
            << c.value << " " << QString::fromUtf16(c.pattern).toStdString();
    }
}

TEST(RealText, FormattedValuesReadBack) {
    SeparatorGuard guard{QChar(u',')};
    for (double v : {0.0, 1.25, -3.5, 1234.75, 0.001235}) {
        EXPECT_DOUBLE_EQ(TextToReal(FormatReal(v, u"0.000000")), v);
    }
}
