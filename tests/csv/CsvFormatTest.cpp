#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv/CsvDate.h"
#include "csv/CsvFormat.h"

namespace zorvan::csv {
namespace {

constexpr double kToday = 45000.0;  // 2023/03/15

ItemRecord Parse(std::string_view line) {
    return ParseCsvLine(line, kToday);
}

using Texts5 = std::vector<std::string>;

// The five texts of a parsed line, for comparing in one go.
Texts5 Texts(const ItemRecord& item) {
    return {item.ItemName, item.AccountID, item.AccountPass, item.RelatedURL, item.AccountMemo};
}

TEST(CsvQuote, EnclosesOnlyValuesWithACommaOrAQuote) {
    EXPECT_EQ(CsvQuote("a\"b,c"), "\"a\"\"b,c\"");
    EXPECT_EQ(CsvQuote("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(CsvQuote("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvQuote("plain"), "plain");
    EXPECT_EQ(CsvQuote(""), "");
    EXPECT_EQ(CsvQuote("  blanks  "), "  blanks  ");
    EXPECT_EQ(CsvQuote("\""), "\"\"\"\"");
}

TEST(CsvFormat, MemoLineBreaksAreWrittenAsBackslashSequences) {
    EXPECT_EQ(EscapeMemo("x\r\ny"), "x\\r\\ny");
    EXPECT_EQ(EscapeMemo("a\nb\rc"), "a\\nb\\rc");
    EXPECT_EQ(EscapeMemo("back\\slash"), "back\\slash");
}

TEST(ParseCsvLine, ReadsTheFieldsOfALine) {
    const auto kLeap = static_cast<double>(DaysFromCivil(2024, 2, 29));
    const struct {
        std::string line;
        Texts5 texts;
        std::int32_t expire;
        double date;
    } cases[] = {
        {"\"abc\"", {"\"abc\"", "", "", "", ""}, 0, kToday},  // without a comma: all name
        {"", {"", "", "", "", ""}, 0, kToday},
        {"a,b", {"a", "b", "", "", ""}, 0, kToday},
        {"a,", {"a", "", "", "", ""}, 0, kToday},
        {"a\"b,c\"\"d", {"a\"b", "c\"\"d", "", "", ""}, 0, kToday},  // quotes inside stay
        // An unclosed quote empties that and the later text fields.
        {"\"abc,def,ghi,jkl,mno,5,2024/01/01", {"", "", "", "", ""}, 0, kToday},
        {"a,b,\"c,d,e,1", {"a", "b", "", "", ""}, 0, kToday},
        // Only the memo's backslash sequences become line breaks.
        {"n,i,p,u,x\\r\\ny", {"n", "i", "p", "u", "x\r\ny"}, 0, kToday},
        {"n,i,p,u,\"a,\\nb\"", {"n", "i", "p", "u", "a,\nb"}, 0, kToday},
        {"x\\ny,i", {"x\\ny", "i", "", "", ""}, 0, kToday},
        {"a,b,c,d,e", {"a", "b", "c", "d", "e"}, 0, kToday},
        {"a,b,c,d,e,1,x", {"a", "b", "c", "d", "e"}, 1, kToday},
        {"a,b,c,d,e,5,2024/02/29,ignored,\"", {"a", "b", "c", "d", "e"}, 5, kLeap},
        // Fields 6 and 7 are not unquoted.
        {"a,b,c,d,e,\"1\",\"2024/01/01\"", {"a", "b", "c", "d", "e"}, 0, kToday},
        {"a,b,c,d,e,99999999999,2023/02/29", {"a", "b", "c", "d", "e"}, 0, kToday},
        {"a,b,c,d,e,5,2023/02/29", {"a", "b", "c", "d", "e"}, 5, kToday},
    };
    for (const auto& c : cases) {
        const ItemRecord item = Parse(c.line);
        EXPECT_EQ(Texts(item), c.texts) << c.line;
        EXPECT_EQ(item.Expire, c.expire) << c.line;
        EXPECT_EQ(item.ExpireDate, c.date) << c.line;
    }
}

TEST(ParseCsvLine, QuotedFieldsReadBackAsTheValuesBeforeQuoting) {
    const std::string values[] = {"a\"b,c", "\"", ",", "a,,b\"\"", "\"\",\"\""};
    for (const auto& value : values) {
        const std::string line =
            CsvQuote(value) + "," + CsvQuote(value) + ",p,u," + CsvQuote(value) + ",0,2024/01/01";
        const ItemRecord item = Parse(line);
        EXPECT_EQ(Texts(item), (Texts5{value, value, "p", "u", value})) << line;
        EXPECT_EQ(item.ExpireDate, 45292.0) << line;
    }
}

// Plain commas by the million and a megabyte field are the hostile-input table's;
// quotes by the million are read in one pass too.
TEST(ParseCsvLine, MillionQuotesAreReadInOnePass) {
    const std::string commas(1000000, ',');
    EXPECT_EQ(Texts(Parse("\"" + commas)), (Texts5{"", "", "", "", ""}));
    EXPECT_EQ(Parse("\"" + commas + "\"").ItemName, commas);
    const ItemRecord pairs = Parse("\"" + std::string(500000, '"') + "\",x");
    EXPECT_EQ(pairs.ItemName, std::string(250000, '"'));
    EXPECT_EQ(pairs.AccountID, "x");
}

TEST(ParseCsvNumber, AcceptsWholeNumbersThatFit32Bits) {
    EXPECT_EQ(ParseCsvNumber(" 7 "), 7);
    EXPECT_EQ(ParseCsvNumber("+5"), 5);
    EXPECT_EQ(ParseCsvNumber("-1"), -1);
    EXPECT_EQ(ParseCsvNumber("2147483647"), 2147483647);
    EXPECT_EQ(ParseCsvNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseCsvNumber("2147483648"), std::nullopt);
    EXPECT_EQ(ParseCsvNumber("-2147483649"), std::nullopt);
    EXPECT_EQ(ParseCsvNumber("-99999999999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseCsvNumber("1.0"), std::nullopt);
    EXPECT_EQ(ParseCsvNumber(""), std::nullopt);
    EXPECT_EQ(ParseCsvNumber("-"), std::nullopt);
    EXPECT_EQ(ParseCsvNumber("1 2"), std::nullopt);
}

TEST(CsvDate, WritesTheDayOfAStoredDate) {
    EXPECT_EQ(FormatCsvDate(0.0), "1899/12/30");
    EXPECT_EQ(FormatCsvDate(37716.0), "2003/04/05");
    EXPECT_EQ(FormatCsvDate(-1.5), "1899/12/29");
    EXPECT_EQ(FormatCsvDate(kFirstDay), "0100/01/01");
    EXPECT_EQ(FormatCsvDate(kLastDay + 0.9), "9999/12/31");
    EXPECT_EQ(FormatCsvDate(kLastDay + 1), "");
    EXPECT_EQ(FormatCsvDate(1e300), "");
    EXPECT_EQ(FormatCsvDate(std::numeric_limits<double>::quiet_NaN()), "");
}

TEST(CsvDate, ReadsWhatItWritesAndRefusesOtherTexts) {
    for (const double day : {kFirstDay, -1.0, 0.0, 37716.0, 45351.0, kLastDay}) {
        EXPECT_EQ(ParseCsvDate(FormatCsvDate(day)), day);
    }
    EXPECT_EQ(ParseCsvDate(" 2024-1-5 "), static_cast<double>(DaysFromCivil(2024, 1, 5)));
    EXPECT_EQ(ParseCsvDate("2000/02/29"), static_cast<double>(DaysFromCivil(2000, 2, 29)));
    // Century years are leap years only when divisible by 400.
    for (const char* text : {"", "24/01/05", "2024/13/01", "2023/02/29", "1900/02/29", "2100/02/29",
                             "2024/01/00", "2024/01/05 10:00", "2024/01-05", "12024/01/01", "x"}) {
        EXPECT_EQ(ParseCsvDate(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace zorvan::csv
