#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "Dialogs.h"
#include "Termination.h"

namespace {

int OutsideHandlerCalls = 0;
void CountCall(int) {
  ++OutsideHandlerCalls;
}

// While watches exist a signal is remembered at once and each handler runs on the event loop, in
// the order of the watches; with the last one gone, the signal's previous handling is back.
TEST(Termination, WatchesRememberTheRequestAndRunTheirHandlersThenGiveTheSignalsBack) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction counting {};
    counting.sa_handler = CountCall;
    struct sigaction previous {};
    sigaction(signal, &counting, &previous);
    OutsideHandlerCalls = 0;
    std::vector<std::string> ran;
    {
      const TTerminationWatch first([&ran] { ran.push_back("first"); });
      std::unique_ptr<TTerminationWatch> second;
      second = std::make_unique<TTerminationWatch>([&ran, &second] {
        ran.push_back("second");
        second.reset();  // a handler may end its own watch
      });
      EXPECT_FALSE(TerminationRequested());
      raise(signal);
      EXPECT_TRUE(TerminationRequested());  // known before any event loop has run
      EXPECT_TRUE(QTest::qWaitFor([&ran] { return ran.size() == 2; }));
      EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
      EXPECT_EQ(OutsideHandlerCalls, 0);
    }
    EXPECT_FALSE(TerminationRequested());
    raise(signal);
    EXPECT_EQ(OutsideHandlerCalls, 1) << signal;
    sigaction(signal, &previous, nullptr);
  }
}

// Once the program has been asked to end, no box waits for an answer: it is not shown, and one that
// is up closes; either gives the answer of nobody there.
TEST(Termination, ABoxIsNeverLeftWaitingForAnAnswerOnceTheProgramIsAskedToEnd) {
  InstallWidgetMessageBoxes();
  SetOpenDialogHandler(nullptr);
  struct Case {
    unsigned flags;
    int answer;
  };
  const Case cases[] = {{MB_OK, IDOK},
                        {MB_YESNO | MB_ICONQUESTION, IDNO},
                        {MB_YESNOCANCEL, IDCANCEL},
                        {MB_RETRYCANCEL | MB_ICONERROR, IDCANCEL},
                        {MB_OKCANCEL, IDCANCEL}};
  for (const Case& c : cases) {
    const TTerminationWatch program(nullptr);  // as the program's own watch, to its end
    bool shown = false;
    // Posted before the box, so that it runs once the box's own loop runs.
    QTimer::singleShot(0, [&shown] {
      shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
      raise(SIGTERM);
    });
    // Closed by the test only if the request did not close it.
    QTimer::singleShot(5000, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Replace the file?", "Title", c.flags), c.answer) << c.flags;
    EXPECT_TRUE(shown) << c.flags;
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.flags;
  }
  // Once asked, nothing is shown at all.
  const TTerminationWatch program(nullptr);
  raise(SIGHUP);
  int shownAfter = 0;
  SetMessageBoxHandler([&shownAfter](const MessageBoxRequest&) {
    ++shownAfter;
    return IDYES;
  });
  SetOpenDialogHandler([&shownAfter](const OpenDialogRequest&) {
    ++shownAfter;
    return std::optional<AnsiString>("chosen.csv");
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Replace the file?", "Title", MB_YESNO), IDNO);
  EXPECT_EQ(ExecuteOpenDialog({}), std::nullopt);
  EXPECT_EQ(shownAfter, 0);
  SetMessageBoxHandler(nullptr);
  SetOpenDialogHandler(nullptr);
}

}  // namespace
