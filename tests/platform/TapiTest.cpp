// The line API against a fake ModemManager on a private bus.
#include "Tapi.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <optional>
#include <vector>

#include "FakeModemBus.h"

namespace {

using testing_support::FakeModemBus;

struct Event {
  DWORD Device;
  DWORD Message;
  DWORD Param1;
  DWORD Param2;
  bool operator==(const Event&) const = default;
};
std::vector<Event> Events;

void Record(DWORD device, DWORD message, DWORD, DWORD param1, DWORD param2, DWORD) {
  Events.push_back({device, message, param1, param2});
}

bool HasEvent(const Event& event) {
  return std::find(Events.begin(), Events.end(), event) != Events.end();
}

TEST(Tapi, DialableNumberDropsSeparatorsAndRefusesTheRest) {
  const struct {
    const char* typed;
    const char* dialled;  // nullptr: refused
  } cases[] = {
      {"555 1234", "5551234"},
      {"+385 (1) 555-12.34/5",
       "+38515551234"
       "5"},
      {"*31#0800", "*31#0800"},
      {"ATD5551234;", nullptr},
      {"555\r\nATH", nullptr},
      {"12+34", nullptr},
      {"++1", nullptr},
      {"1,2", nullptr},
      {"ext. 12", nullptr},
      {" - ", nullptr},
      {"+", nullptr},
  };
  for (const auto& c : cases) {
    const std::optional<AnsiString> number = DialableNumber(c.typed);
    EXPECT_EQ(number, c.dialled ? std::optional<AnsiString>(c.dialled) : std::nullopt) << c.typed;
  }
}

class TapiLine : public testing::Test {
 protected:
  void SetUp() override { Events.clear(); }
  void TearDown() override {
    if (App != 0) lineShutdown(App);
  }
  DWORD Open() {
    DWORD devices = 0;
    EXPECT_EQ(lineInitialize(&App, nullptr, Record, nullptr, &devices), 0);
    if (devices > 0) {
      EXPECT_EQ(lineOpen(App, LINEMAPPER, &Line, 0x00020000, 0, 0, 1, 0, nullptr), 0);
    }
    return devices;
  }
  HLINEAPP App = 0;
  HLINE Line = 0;
};

TEST_F(TapiLine, OnlyVoiceModemsAreDevicesAndNothingStartsModemManager) {
  {
    FakeModemBus bus(true);
    ASSERT_TRUE(bus.Running());
    EXPECT_EQ(Open(), 0u);  // ModemManager could be started on this bus, but is not
    EXPECT_FALSE(QFile::exists(bus.ActivationMarker()));
    lineShutdown(App);
    App = 0;
  }
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager(
      {QStringLiteral("--plain"), QStringLiteral("2"), QStringLiteral("--voice"), QStringLiteral("1")}));
  EXPECT_EQ(Open(), 1u);
  HCALL call = 0;
  ASSERT_GT(lineMakeCall(Line, &call, "555 1234", 0, nullptr), 0);
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("CreateCall /org/freedesktop/ModemManager1/Modem/2 5551234")));
}

TEST_F(TapiLine, CallbacksComeThroughTheEventLoopAndHandlesAreNeverReused) {
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  ASSERT_EQ(Open(), 1u);
  HCALL first = 0;
  const LONG request = lineMakeCall(Line, &first, "5551", 0, nullptr);
  ASSERT_GT(request, 0);
  EXPECT_TRUE(Events.empty());  // nothing arrives inside the call
  ASSERT_TRUE(QTest::qWaitFor([&] { return HasEvent({first, LINE_CALLSTATE, LINECALLSTATE_CONNECTED, 0}); }));
  EXPECT_TRUE(HasEvent({0, LINE_REPLY, static_cast<DWORD>(request), 0}));
  const LONG drop = lineDrop(first, nullptr, 0);
  EXPECT_GT(drop, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return HasEvent({first, LINE_CALLSTATE, LINECALLSTATE_IDLE, 0}); }));
  EXPECT_TRUE(HasEvent({first, LINE_CALLSTATE, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL}));
  EXPECT_EQ(lineDeallocateCall(first), 0);
  // The drop's reply arrives whether or not the call is gone by then.
  EXPECT_TRUE(QTest::qWaitFor([&] { return HasEvent({0, LINE_REPLY, static_cast<DWORD>(drop), 0}); }));
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("DeleteCall /org/freedesktop/ModemManager1/Call/1")));

  HCALL second = 0;
  ASSERT_GT(lineMakeCall(Line, &second, "5552", 0, nullptr), 0);
  EXPECT_NE(second, first);
  ASSERT_TRUE(QTest::qWaitFor([&] { return HasEvent({second, LINE_CALLSTATE, LINECALLSTATE_CONNECTED, 0}); }));
  // A late hang-up of the first call reaches neither it nor the second.
  EXPECT_EQ(lineDrop(first, nullptr, 0), LINEERR_INVALCALLHANDLE);
  EXPECT_EQ(lineDeallocateCall(first), LINEERR_INVALCALLHANDLE);
  QTest::qWait(100);
  EXPECT_FALSE(bus.Log().contains(QStringLiteral("Hangup /org/freedesktop/ModemManager1/Call/2")));
  EXPECT_FALSE(HasEvent({second, LINE_CALLSTATE, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL}));

  // Closing the line ends the call on the modem too.
  EXPECT_EQ(lineShutdown(App), 0);
  App = 0;
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("Hangup /org/freedesktop/ModemManager1/Call/2")));
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("DeleteCall /org/freedesktop/ModemManager1/Call/2")));
}

TEST_F(TapiLine, RefusedNumbersNeverReachTheModem) {
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  ASSERT_EQ(Open(), 1u);
  HCALL call = 0;
  EXPECT_EQ(lineMakeCall(Line, &call, "555;ATH", 0, nullptr), LINEERR_INVALADDRESS);
  EXPECT_EQ(lineMakeCall(Line, &call, "", 0, nullptr), LINEERR_INVALADDRESS);
  EXPECT_EQ(call, 0u);
  QTest::qWait(100);
  EXPECT_EQ(bus.Log().filter(QStringLiteral("CreateCall")), QStringList());
}

TEST_F(TapiLine, AFailedStartRepliesWithAnErrorAndEndsTheCall) {
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager({QStringLiteral("--script"), QStringLiteral("fail-start")}));
  ASSERT_EQ(Open(), 1u);
  HCALL call = 0;
  const LONG request = lineMakeCall(Line, &call, "5551", 0, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return HasEvent({call, LINE_CALLSTATE, LINECALLSTATE_IDLE, 0}); }));
  EXPECT_TRUE(HasEvent({0, LINE_REPLY, static_cast<DWORD>(request), static_cast<DWORD>(LINEERR_OPERATIONFAILED)}));
}

TEST_F(TapiLine, WithoutBusOrModemManagerThereAreNoDevices) {
  {
    testing_support::NoSystemBus none;
    EXPECT_EQ(Open(), 0u);
    lineShutdown(App);
  }
  FakeModemBus bus;  // no ModemManager on it
  EXPECT_EQ(Open(), 0u);
  EXPECT_EQ(lineOpen(App, LINEMAPPER, &Line, 0x00020000, 0, 0, 1, 0, nullptr), LINEERR_NODEVICE);
  EXPECT_EQ(lineConfigDialog(0, nullptr, "comm/datamodem"), LINEERR_BADDEVICEID);
}

TEST_F(TapiLine, ABusThatNeverAnswersCountsAsNoneWithinASecondAndHoldsNothingAfter) {
  for (const char* bus : {"listener that never writes", "stopped daemon", "missing socket"}) {
    std::optional<testing_support::SilentBus> silent;
    std::optional<FakeModemBus> stopped;
    std::optional<testing_support::NoSystemBus> none;
    if (bus == std::string_view("listener that never writes")) silent.emplace();
    if (bus == std::string_view("stopped daemon")) {
      stopped.emplace();
      ASSERT_TRUE(stopped->StartModemManager());
      stopped->StopDaemon();
    }
    if (bus == std::string_view("missing socket")) none.emplace();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Open(), 0u) << bus;
    EXPECT_LT(clock.elapsed(), 1500) << bus;
    clock.restart();
    EXPECT_EQ(lineShutdown(App), 0);
    App = 0;
    EXPECT_LT(clock.elapsed(), 200) << bus;
  }
  // D-Bus is not left waiting on any of them: a bus that answers works as before.
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(Open(), 1u);
  EXPECT_LT(clock.elapsed(), 500);
}

TEST_F(TapiLine, ACallTheModemRefusesOrNeverAnswersIsNotPlaced) {
  {
    FakeModemBus bus;
    ASSERT_TRUE(bus.StartModemManager({QStringLiteral("--script"), QStringLiteral("refuse-call")}));
    ASSERT_EQ(Open(), 1u);
    HCALL call = 0;
    EXPECT_EQ(lineMakeCall(Line, &call, "555 1234", 0, nullptr), LINEERR_OPERATIONFAILED);
    EXPECT_EQ(call, 0u);
    EXPECT_TRUE(bus.Log().contains(QStringLiteral("CreateCall /org/freedesktop/ModemManager1/Modem/0 5551234")));
    QTest::qWait(100);
    EXPECT_TRUE(Events.empty());
    lineShutdown(App);
    App = 0;
  }
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  ASSERT_EQ(Open(), 1u);
  bus.StopDaemon();
  HCALL call = 0;
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(lineMakeCall(Line, &call, "555 1234", 0, nullptr), LINEERR_OPERATIONFAILED);
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_EQ(call, 0u);
  // The request reaches the modem late: the call it makes then is removed again, never started.
  bus.ContinueDaemon();
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("DeleteCall /org/freedesktop/ModemManager1/Call/1")));
  EXPECT_FALSE(bus.Log().contains(QStringLiteral("Start /org/freedesktop/ModemManager1/Call/1")));
}

}  // namespace
