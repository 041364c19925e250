#include "grid/cell_check.h"

#include <gtest/gtest.h>

namespace grid {
namespace {

TEST(CellCheckTest, TakesWhatTheColumnCanStoreUnchanged) {
  const struct {
    char type;
    int maxLength;
    std::string text;
  } accepted[] = {
      {'I', 0, ""},           {'I', 0, " 16 "},        {'I', 0, "-2147483648"},
      {'I', 3, "2147483647"}, {'L', 0, "+0000000000012"}, {'F', 0, "0.985"},
      {'F', 0, "-1.5e2"},     {'F', 0, ".5"},          {'D', 0, "1e300"},
      {'S', 2, "DF"},         {'S', 2, "\xC3\xA9\xC3\xA9"}, {'S', 0, std::string(5000, 'x')},
      {'X', 3, "abc"},
  };
  for (const auto& c : accepted) {
    EXPECT_EQ(CheckCellText({"C", c.type, c.maxLength}, c.text, {}), std::nullopt)
        << c.type << " " << c.text;
  }
}

TEST(CellCheckTest, RefusesWithTheColumnAndWhatItTakes) {
  const std::string whole = " takes whole numbers from -2147483648 to 2147483647.\n";
  const struct {
    char type;
    const char* text;
    std::string message;
  } refused[] = {
      {'I', "99999999999", "LN" + whole + "\"99999999999\" was not entered."},
      {'I', "-2147483649", "LN" + whole + "\"-2147483649\" was not entered."},
      {'L', "4x5", "LN" + whole + "\"4x5\" was not entered."},
      {'I', "16.5", "LN" + whole + "\"16.5\" was not entered."},
      {'I', "-", "LN" + whole + "\"-\" was not entered."},
      {'F', "1e39", "LN takes numbers from -3.4e38 to 3.4e38.\n\"1e39\" was not entered."},
      {'F', "1.2.3", "LN takes numbers from -3.4e38 to 3.4e38.\n\"1.2.3\" was not entered."},
      {'D', "abc", "LN takes numbers from -1.7e308 to 1.7e308.\n\"abc\" was not entered."},
      {'S', "DFX", "LN takes at most 2 characters.\n\"DFX\" (3 characters) was not entered."},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(CheckCellText({"LN", c.type, 2}, c.text, {}), c.message) << c.text;
  }
}

TEST(CellCheckTest, QuotesALongTextShortAndKeepsAChoiceTheCellOffers) {
  EXPECT_EQ(CheckCellText({"SP", 'S', 2}, std::string(5000, 'x'), {}),
            "SP takes at most 2 characters.\n\"" + std::string(24, 'x') +
                "...\" (5000 characters) was not entered.");
  EXPECT_EQ(CheckCellText({"DISTRICT", 'S', 2}, "All", {"All", "1"}), std::nullopt);
  EXPECT_NE(CheckCellText({"DISTRICT", 'S', 2}, "Alle", {"All", "1"}), std::nullopt);
}

}  // namespace
}  // namespace grid
