#include "app/intake_plan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace app {
namespace {

TEST(IntakePlanTest, LoadReceiptsOfText) {
  struct Case {
    const char* text;
    std::vector<std::string> receipts;
  };
  const Case cases[] = {
      {"note\n[Load]\nLoad[SALE:S,LLR:S]\ntitles\nBear,2001\n[Log]\nLog[LLR:S]\nt\nBear,9\n",
       {"2001"}},
      {"[load]\r\nLoad[llr:S,SALE:S]\r\nt\r\n 123456 ,Bear\r\n\r\n42,Elk\r\n", {"123456", "42"}},
      {"[Load]\nLoad[SALE:S]\nt\nBear\n", {}},
      {"[Log]\nLog[SALE:S,LLR:S]\nt\nBear,1\n", {}},
      {"[Load]\nLoad[SALE:S,LLR:S]\n", {}},
      {"[Load]\nLoad[SALE:S,LLR:S]\nt\nB,\xc9t\xe9\n", {"\xc3\x89t\xc3\xa9"}},  // Windows-1252
  };
  for (const Case& c : cases) EXPECT_EQ(LoadReceiptsOfText(c.text), c.receipts) << c.text;
  // The bundled demo loads.
  for (const auto& [name, llr] : {std::pair{"demo-100-board.txt", "2001"},
                                  std::pair{"demo-3p-cubic.txt", "1001"}}) {
    std::ifstream in(std::string(VARNOLDE_DATA_DIR) + "/demo/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(LoadReceiptsOfText(text.str()), std::vector<std::string>{llr}) << name;
  }
}

TEST(IntakePlanTest, NamesOfNewFiles) {
  EXPECT_EQ(LlrFileNameProblem("2001"), "");
  EXPECT_EQ(LlrFileNameProblem("1042A"), "");
  for (const char* bad : {"", ".", "..", "-x", "a/b", "a\\b", "a\tb"}) {
    EXPECT_NE(LlrFileNameProblem(bad), "") << bad;
  }
  const platform::LocalDateTime now{2026, 8, 2, 7, 30, 0};
  EXPECT_EQ(IntakePath("loads", "123456", false, now), "loads/123456.scl");
  EXPECT_EQ(IntakePath("loads/", "2001", true, now), "loads/202608022001.scl");
}

}  // namespace
}  // namespace app
