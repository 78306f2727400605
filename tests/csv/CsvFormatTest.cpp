#include <gtest/gtest.h>

#include <string>

#include "csv/CsvDate.h"
#include "csv/CsvFormat.h"

namespace zorvan::csv {
namespace {

constexpr double kToday = 45000.0;  // 2023/03/15

ItemRecord Parse(std::string_view line) {
    return ParseCsvLine(line, kToday);
}

// The five texts of a parsed line, for comparing in one go.
std::vector<std::string> Texts(const ItemRecord& item) {
    return {item.ItemName, item.AccountID, item.AccountPass, item.RelatedURL, item.AccountMemo};
}

using Texts5 = std::vector<std::string>;

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

TEST(CsvFormat, LineHoldsTheSevenQuotedFields) {
    ItemRecord item;
    item.ItemName = "名前";
    item.AccountID = "id,1";
    item.AccountPass = "p\"w";
    item.RelatedURL = "https://example.jp/";
    item.AccountMemo = "1行目\r\n2行目";
    item.Expire = 5;
    item.ExpireDate = 45292.75;  // 2024/01/01, 18:00
    EXPECT_EQ(FormatCsvLine(item),
              "名前,\"id,1\",\"p\"\"w\",https://example.jp/,1行目\\r\\n2行目,5,2024/01/01");
}

TEST(ParseCsvLine, LineWithoutCommaIsAllName) {
    const ItemRecord item = Parse("\"abc\"");
    EXPECT_EQ(Texts(item), (Texts5{"\"abc\"", "", "", "", ""}));
    EXPECT_EQ(item.Expire, 0);
    EXPECT_EQ(item.ExpireDate, kToday);
    EXPECT_EQ(Texts(Parse("")), (Texts5{"", "", "", "", ""}));
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

TEST(ParseCsvLine, QuotesInsideAnUnquotedFieldStayAsTheyAre) {
    EXPECT_EQ(Texts(Parse("a\"b,c\"\"d")), (Texts5{"a\"b", "c\"\"d", "", "", ""}));
}

TEST(ParseCsvLine, UnclosedQuoteEmptiesThatAndTheLaterTextFields) {
    const ItemRecord first = Parse("\"abc,def,ghi,jkl,mno,5,2024/01/01");
    EXPECT_EQ(Texts(first), (Texts5{"", "", "", "", ""}));
    EXPECT_EQ(first.Expire, 0);
    EXPECT_EQ(first.ExpireDate, kToday);
    const ItemRecord third = Parse("a,b,\"c,d,e,1");
    EXPECT_EQ(Texts(third), (Texts5{"a", "b", "", "", ""}));
    EXPECT_EQ(third.Expire, 0);
}

TEST(ParseCsvLine, MemoBackslashSequencesBecomeLineBreaks) {
    EXPECT_EQ(Parse("n,i,p,u,x\\r\\ny").AccountMemo, "x\r\ny");
    EXPECT_EQ(Parse("n,i,p,u,\"a,\\nb\"").AccountMemo, "a,\nb");
    // Only the memo is unescaped.
    EXPECT_EQ(Parse("x\\ny,i").ItemName, "x\\ny");
}

TEST(ParseCsvLine, ExpiryFlagsAndDateAreReadRawWithDefaults) {
    const ItemRecord noDate = Parse("a,b,c,d,e,1,x");
    EXPECT_EQ(noDate.Expire, 1);
    EXPECT_EQ(noDate.ExpireDate, kToday);
    const ItemRecord fiveFields = Parse("a,b,c,d,e");
    EXPECT_EQ(fiveFields.Expire, 0);
    EXPECT_EQ(fiveFields.ExpireDate, kToday);
    const ItemRecord both = Parse("a,b,c,d,e,5,2024/02/29,ignored,\"");
    EXPECT_EQ(both.Expire, 5);
    EXPECT_EQ(both.ExpireDate, static_cast<double>(DaysFromCivil(2024, 2, 29)));
    // Fields 6 and 7 are not unquoted.
    const ItemRecord quoted = Parse("a,b,c,d,e,\"1\",\"2024/01/01\"");
    EXPECT_EQ(quoted.Expire, 0);
    EXPECT_EQ(quoted.ExpireDate, kToday);
    EXPECT_EQ(Parse("a,b,c,d,e,99999999999,2023/02/29").Expire, 0);
    EXPECT_EQ(Parse("a,b,c,d,e,5,2023/02/29").ExpireDate, kToday);
}

TEST(ParseCsvLine, ShortLinesLeaveTheRestEmpty) {
    EXPECT_EQ(Texts(Parse("a,b")), (Texts5{"a", "b", "", "", ""}));
    EXPECT_EQ(Texts(Parse("a,")), (Texts5{"a", "", "", "", ""}));
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
