#include "core/run_driver.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReportLines;
using testing::RunOn;

TEST(RunDriver, CompleteReportOfTheFourLineDescription) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state,
                      "Start  a  Mid  Hi\nMid  b  NE  ANO\nHi  c  Mid  T\nENDBDD ANO Start\n");
  std::vector<std::string> expected = {
      "Kontrolni vypis zadani BDD s ocislovanymi radky",
      "vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :",
      " 1: Start  a  Mid  Hi",
      " 2: Mid  b  NE  ANO",
      " 3: Hi  c  Mid  T",
      " 4: ENDBDD ANO Start",
      " Prohledavani BDD zacne uzlem: Start   ",
      " hledaji se konce typu ANO",
      "Pouzite uzly: kod, jmeno ",
      "10 =  Start   ",
      "11 =  Mid     ",
      "12 =  Hi      ",
      " ****trasa 1",
      " -10 11",
      " ****trasa 2",
      " 10 -12 11",
      " ****trasa 3",
      " 10 12",
      "Kontrolni vypis - nalezene souciny:",
      " #1:   b -a",
      " #2:   a  b -c",
      " #3:   a  c",
      "Vysledek - neredundantni souciny, uvedene vzestupne:",
      " #1:   b -a",
      " #2:   a  c",
      " #3:   a  b -c",
  };
  EXPECT_EQ(ReportLines(result.report), expected);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].first, kMsgSuccess);
  EXPECT_EQ(result.messages[0].second, MessageKind::kPlain);
}

}  // namespace
}  // namespace ramivo
