#include "persistence/serial_numbers.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

TEST(SerialNumberPanel, EnableSwitchesTheFields) {
  TestStation s;
  WindowModel& w = s->window;
  w["CheckBoxSN"].checked = true;
  CheckBoxSNClick(*s);
  for (const char* name : {"AddrEdit", "SNEdit1", "GainEdit", "SNOrderChk", "ChkBoxPCSN"}) {
    EXPECT_TRUE(w[name].enabled) << name;
  }
  w["CheckBoxSN"].checked = false;
  CheckBoxSNClick(*s);
  EXPECT_FALSE(w["SNEdit1"].enabled);
  EXPECT_TRUE(w["ChkBoxSNDP"].enabled);
  EXPECT_TRUE(w["ButtonCfgSN"].enabled);
}

TEST(SerialNumberPanel, DecimalDisplaySwitch) {
  TestStation s;
  WindowModel& w = s->window;
  w["SNEdit1"].text = "0xFFFFFFFF";
  w["ChkBoxSNDP"].checked = true;
  ChkBoxSNDPClick(*s);
  EXPECT_EQ(w["SNEdit1"].text, "4294967295");
  w["ChkBoxSNDP"].checked = false;
  ChkBoxSNDPClick(*s);
  EXPECT_EQ(w["SNEdit1"].text, "0xFFFFFFFF");
  w["SNEdit1"].text = "12";
  ChkBoxSNDPClick(*s);
  EXPECT_EQ(w["SNEdit1"].text, "0x0000000C");
  w["SNEdit1"].text = "nope";
  ChkBoxSNDPClick(*s);
  EXPECT_EQ(w["SNEdit1"].text, "nope");
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text, "'nope' is not a valid integer value");
}

}  // namespace
}  // namespace dravon
