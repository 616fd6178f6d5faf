#include "ExtCtrls.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

TEST(TimerTest, FiresEveryIntervalWhileEnabledWithAHandler) {
  TTimer timer;
  int ticks = 0;
  timer.SetInterval(20);
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  QTest::qWait(130);
  EXPECT_GE(ticks, 2);
  EXPECT_LE(ticks, 7);
  timer.SetEnabled(false);
  const int stopped = ticks;
  QTest::qWait(60);
  EXPECT_EQ(ticks, stopped);
}

TEST(TimerTest, ZeroIntervalStopsIt) {
  TTimer timer;
  int ticks = 0;
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  timer.SetInterval(0);
  QTest::qWait(30);
  EXPECT_EQ(ticks, 0);
}
