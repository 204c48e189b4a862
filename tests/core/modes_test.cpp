#include "app/modes.h"

#include <gtest/gtest.h>

#include "platform/application/application.h"

namespace velmora {
namespace {

TEST(ModesTest, ConstantsAndTitle) {
  InitModes();
  InitModes();  // idempotent
  EXPECT_EQ(ProductName(), u"Velmora");
  EXPECT_EQ(VersionText(), u"1.0");
  EXPECT_EQ(AppTitle(), u"Velmora 1.0");
  EXPECT_EQ(ColorFromText(TitleColor()), 0xFF8000);  // red 0, green 128, blue 255
}

TEST(ModesTest, ColorTextParsesAsANumber) {
  struct Case {
    Text text;
    std::int32_t value;
  } cases[] = {{u"16744448", 16744448}, {u" 255", 255}, {u"2.5", 2}, {u"3.5", 4}, {u"12abc", 12}, {u"", 0},
               {u"-1", -1}, {u"99999999999", 0}};
  for (const Case& c : cases) EXPECT_EQ(ColorFromText(c.text), c.value) << ToUtf8ForDisplay(c.text);
}

TEST(ModesTest, OnlyTheExactSwitchMinimises) {
  const std::pair<Text, bool> cases[] = {{u"-st", true}, {u"-ST", false}, {u"-st file", false},
                                         {u"\"-st\"", false}, {u"", false}, {u" -st", false},
                                         {u"-style x", false}};
  for (const auto& [text, minimised] : cases) EXPECT_EQ(StartsMinimised(text), minimised) << ToUtf8ForDisplay(text);
}

}  // namespace
}  // namespace velmora
