#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/IntegerText.h"

namespace brinmor {
namespace {

struct Case {
    const char* text;
    std::optional<std::int32_t> value;
};

TEST(IntegerText, ConvertsStrictly) {
    const Case cases[] = {
        {"43", 43},           {"  80", 80},          {"-5", -5},
        {"+7", 7},            {"$50", 80},           {"0x1F", 31},
        {"0X1f", 31},         {"$FFFFFFFF", -1},     {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},                  {"2147483648", std::nullopt},
        {"", std::nullopt},   {" ", std::nullopt},   {"abc", std::nullopt},
        {"12 ", std::nullopt}, {"1.5", std::nullopt}, {"$", std::nullopt},
        {"0x", std::nullopt}, {"- 5", std::nullopt}, {"\t5", std::nullopt},
        {"$100000000", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TryStrToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(IntegerText, FailureNamesTheText) {
    try {
        StrToInt("abc");
        FAIL() << "no error raised";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' n'est pas une valeur enti\xE8re correcte");
    }
    EXPECT_THROW(StrToInt(""), EConvertError);
}

} // namespace
} // namespace brinmor
