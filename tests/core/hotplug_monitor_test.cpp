#include "device/HotplugMonitor.h"

#include <gtest/gtest.h>

TEST(HotplugMonitor, OnlyArrivalsAndRemovalsCount)
{
    EXPECT_TRUE(HotplugMonitor::isPlugAction("add"));
    EXPECT_TRUE(HotplugMonitor::isPlugAction("remove"));
    for (const char* other : {"bind", "unbind", "change", "move", "online", "", "ADD"})
        EXPECT_FALSE(HotplugMonitor::isPlugAction(other)) << other;
    EXPECT_FALSE(HotplugMonitor::isPlugAction(nullptr));
}
