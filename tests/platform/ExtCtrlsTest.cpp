#include "ExtCtrls.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

TEST(TimerTest, FiresEveryIntervalWhileEnabledWithAHandler) {
  TTimer timer;
  int ticks = 0;
  timer.SetInterval(20);
  QElapsedTimer clock;
  clock.start();
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 10000));
  EXPECT_LE(ticks, clock.elapsed() / 20 + 1);  // no faster than the interval
  timer.SetEnabled(false);
  const int stopped = ticks;
  QTest::qWait(60);  // a check that nothing fires: a few intervals
  EXPECT_EQ(ticks, stopped);
}

TEST(TimerTest, ZeroIntervalStopsIt) {
  TTimer timer;
  int ticks = 0;
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  timer.SetInterval(0);
  QTest::qWait(30);  // a check that nothing fires
  EXPECT_EQ(ticks, 0);
}
