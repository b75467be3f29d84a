// The text a number and a date become, and cell text escaped in the document's
// lines. The other kinds' texts, the lines themselves and the escaping of markup,
// line breaks and tabs are shown by the fixture documents and the corpus.
#include "conversion/cell_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "conversion/document/line_builders.h"
#include "conversion/xml_escape.h"
#include "support/document.h"

namespace zerova {
namespace {

// printf's "%.15G" in the C locale the test runs in, over numbers of every kind:
// random bit patterns, short decimals, thirds, and values at and near the ties
// of the 15th digit, where rounding is hardest; zero without its sign, and
// "#NUM!" for what is no number.
TEST(NumberText, AgreesWithPrintfOnManyNumbers) {
  EXPECT_EQ(NumberText(0.0), "0");
  EXPECT_EQ(NumberText(-0.0), "0");
  for (double bad :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(NumberText(bad), "#NUM!") << bad;
  }
  std::mt19937_64 random(20240601);
  // The extremes, the largest 15-digit ties, and sums that are no short decimal.
  std::vector<double> numbers = {
      5e-324,    1.7976931348623157e308, 999999999999999.5, 999999999999999.4,
      0.1 + 0.2, 9.9999999999999995e-5};
  for (int i = 0; i < 100000; ++i) {
    const double bits = std::bit_cast<double>(random());
    if (std::isfinite(bits)) numbers.push_back(bits);
    numbers.push_back(static_cast<double>(random() % 2000000) / 1000.0 - 1000.0);
    numbers.push_back(static_cast<double>(random() % 1000000) / 3.0 * std::pow(10.0, i % 40 - 20));
    // 15 digits and a 5: a tie in decimal, though rarely in binary.
    const double tie = (static_cast<double>(random() % 900000000000000 + 100000000000000) + 0.5) *
                       std::pow(10.0, i % 30 - 29);
    numbers.insert(numbers.end(), {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300)});
  }
  int differences = 0;
  for (const double number : numbers) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.15G", number);
    const std::string text = NumberText(number);
    if (number != 0 && text != expected && ++differences <= 10) {
      ADD_FAILURE() << std::hexfloat << number << ": " << text << " where printf gives "
                    << expected;
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(DateText, RoundsToTheSecondInEitherDateSystem) {
  const struct {
    double serial;
    DateSystem system;
    const char* text;
  } rows[] = {
      {0.9999999, DateSystem::k1900, "00:00:00"},  // rounds to the next midnight
      {45000.999999, DateSystem::k1900, "2023-03-16"},
      {36526.5000058, DateSystem::k1900, "2000-01-01 12:00:01"},
      {43538, DateSystem::k1904, "2023-03-15"},
      {2957004, DateSystem::k1904, "2957004"},  // past 9999-12-31: a number
      {-0.5, DateSystem::k1904, "-0.5"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DateText(row.serial, row.system), row.text) << "for serial " << row.serial;
  }
}

// A character XML cannot hold becomes one U+FFFD, and so does each byte of what is
// no UTF-8; the result is the same escaped apart or in place, and reads back as XML.
TEST(XmlEscape, ReplacesWhatXmlCannotHoldAndKeepsTheRest) {
  const struct {
    std::string_view text;
    const char* escaped;
  } rows[] = {
      {"a<b>\"c\" & it's", "a&lt;b&gt;&quot;c&quot; &amp; it's"},
      {"\r\n\t", "&#13;&#10;&#9;"},
      {"Grüße, 東京, 😀", "Grüße, 東京, 😀"},
      {"\xEF\xBF\xBE|\xEF\xBF\xBF", "\xEF\xBF\xBD|\xEF\xBF\xBD"},  // U+FFFE, U+FFFF
      {"bad\xC3", "bad\xEF\xBF\xBD"},                              // truncated sequence
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},    // encoded surrogate
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                    // overlong '/'
      {std::string_view("\0\x01]]>", 5), "\xEF\xBF\xBD\xEF\xBF\xBD]]&gt;"},
  };
  for (const auto& row : rows) {
    std::string apart;
    AppendXmlEscaped(row.text, apart);
    EXPECT_EQ(apart, row.escaped) << row.text;
    std::string in_place = "<value>";
    in_place.append(row.text);
    EscapeXmlTail(in_place, 7);
    EXPECT_EQ(in_place, "<value>" + apart) << row.text;
    std::string document;
    HeaderLine(document);
    ValueLine(NodeStartLine(document, 1, CellValue::Text(std::string(row.text))),
              CellValue::Text(std::string(row.text)));
    ClosingLine(NodeEndLine(document));
    EXPECT_TRUE(test::IsWellFormedXml(document)) << document;
  }
}

}  // namespace
}  // namespace zerova
