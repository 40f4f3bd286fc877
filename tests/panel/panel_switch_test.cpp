// Turning the system on, and off for a while, through the real panel's tray menu;
// the engine stand-in answers, records each request and keeps the on/off state.
#include <gtest/gtest.h>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;

TEST(PanelSwitch, TurningOnReportsSuccessAndTheEngineIsOn) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, "[standin]\r\non=0\r\n[test]\r\nrecord=1\r\n");
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOn));
    ExpectMessage(scene, L"成功", L"系统开启成功", 1, "panel_turn_on");
    EXPECT_EQ(RecordedRequests(scene), "<cmd>setinfo</cmd><seton>1</seton>\r\n");
    EXPECT_EQ(StandinSetting(scene, "on"), "1");
}

// The whole answer is the message, so an engine that is not running says so.
TEST(PanelSwitch, TurningOnShowsTheWholeAnswerWhenItFails) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, "[standin]\r\non=0\r\n[test]\r\nrecord=1\r\nrefuse=setinfo\r\n");
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOn));
    ExpectMessage(scene, L"错误", L"<status>0</status><data>操作未完成</data>", 2, "panel_turn_on_refused");
    EXPECT_EQ(StandinSetting(scene, "on"), "0");
    ASSERT_TRUE(scene.Engine().Stop());
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOn));
    ExpectMessage(scene, L"错误", L"Orm·防入侵集群系统未运行", 2, "panel_turn_on_unreachable");
    EXPECT_EQ(RecordedRequests(scene), "<cmd>setinfo</cmd><seton>1</seton>\r\n");
}
