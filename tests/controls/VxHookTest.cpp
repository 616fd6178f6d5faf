#include "VxHook.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMetaProperty>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Dialogs.h"
#include "Forms.h"

namespace {

std::vector<std::string> gLog;

class LoggingForm final : public TForm {
 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg >= WM_USER || message.Msg == WM_DESTROY) gLog.push_back("own");
    if (message.Msg == WM_USER) message.Result = 5;
    TForm::WndProc(message);
  }
};

class LoggingControl final : public TControl {
 public:
  using TControl::TControl;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg >= WM_USER || message.Msg == WM_DESTROY) gLog.push_back("own");
    TControl::WndProc(message);
  }
};

// A hook that logs both phases under its name and handles the messages it is told to.
std::unique_ptr<TVxWindowHook> MakeHook(QWidget* target, const std::string& name, unsigned handledBefore = 0) {
  auto hook = std::make_unique<TVxWindowHook>();
  hook->BeforeMessage = [name, handledBefore](QObject*, TMessage& m, bool& handled) {
    if (m.Msg < WM_USER && m.Msg != WM_DESTROY) return;
    gLog.push_back(name + ".before");
    if (m.Msg == handledBefore) handled = true;
  };
  hook->AfterMessage = [name](QObject*, TMessage& m, bool&) {
    if (m.Msg < WM_USER && m.Msg != WM_DESTROY) return;
    gLog.push_back(name + ".after");
  };
  hook->SetWinControl(target);
  return hook;
}

void ServePostedMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void LogBothPhases(TVxWindowHook& hook, const std::string& name) {
  hook.BeforeMessage = [name](QObject*, TMessage& m, bool&) {
    if (m.Msg >= WM_USER) gLog.push_back(name + ".before");
  };
  hook.AfterMessage = [name](QObject*, TMessage& m, bool&) {
    if (m.Msg >= WM_USER) gLog.push_back(name + ".after");
  };
}

// What a writer of forms keeps of a hook: its published properties by name, each only when it is
// stored, a window by its name.
using Written = std::map<std::string, QVariant>;
Written Write(const TVxWindowHook& hook) {
  Written written;
  const QMetaObject* type = hook.metaObject();
  for (int i = type->propertyOffset(); i < type->propertyCount(); ++i) {
    const QMetaProperty property = type->property(i);
    const std::string name = property.name();
    if ((name == "WinControl" && !hook.StoresWinControl()) || (name == "IsForm" && !hook.StoresIsForm())) continue;
    const QVariant value = property.read(&hook);
    written[name] = name == "WinControl" ? QVariant(value.value<QWidget*>()->objectName()) : value;
  }
  return written;
}

// Loads a hook owned by form from what was written, resolving window names among its children.
TVxWindowHook* Load(TForm& form, const Written& written) {
  auto* hook = new TVxWindowHook(&form);
  for (const auto& [name, value] : written) {
    const QVariant loaded =
        name == "WinControl" ? QVariant::fromValue(form.findChild<QWidget*>(value.toString())) : value;
    EXPECT_TRUE(hook->setProperty(name.c_str(), loaded)) << name;
  }
  return hook;
}

class VxHookTest : public testing::Test {
 protected:
  void SetUp() override { gLog.clear(); }
  void TearDown() override {
    ServePostedMessages();
    FreeGlobalHookList();
  }
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(VxHookTest, TwoHooksShareOneReplacementAndTheLastAttachedHearsFirst) {
  LoggingForm form;
  const std::intptr_t own = GetWindowLongA(&form, GWL_WNDPROC);
  auto first = MakeHook(&form, "1");
  auto second = MakeHook(&form, "2");
  ASSERT_EQ(GlobalHookList()->Count(), 1u);
  EXPECT_EQ(first->Binding(), second->Binding());
  EXPECT_EQ(form.Perform(WM_USER), 5);
  EXPECT_EQ(gLog, (Log{"2.before", "1.before", "own", "2.after", "1.after"}));

  first.reset();  // the window stays subclassed for the other hook
  EXPECT_NE(GetWindowLongA(&form, GWL_WNDPROC), own);
  gLog.clear();
  form.Perform(WM_USER);
  EXPECT_EQ(gLog, (Log{"2.before", "own", "2.after"}));

  second.reset();  // the last one puts the replaced procedure back; the idle control hook goes later
  EXPECT_EQ(GetWindowLongA(&form, GWL_WNDPROC), own);
  EXPECT_EQ(GlobalHookList()->Count(), 1u);
  ServePostedMessages();
  EXPECT_EQ(GlobalHookList()->Count(), 0u);
  gLog.clear();
  form.Perform(WM_USER);
  EXPECT_EQ(gLog, Log{"own"});
}

TEST_F(VxHookTest, AHandledMessageStopsTheChainExceptDestroyWhichStillReachesTheWindow) {
  LoggingForm form;
  form.winId();
  auto first = MakeHook(&form, "1");
  auto second = MakeHook(&form, "2", WM_USER + 1);
  EXPECT_EQ(form.Perform(WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(gLog, Log{"2.before"});

  // A handled WM_DESTROY: the window still processes it, and only the last attached hook sees the
  // after phase. Then the hook comes back on the new window once the re-hook message is served.
  second->BeforeMessage = [](QObject*, TMessage& m, bool& handled) {
    if (m.Msg == WM_DESTROY) gLog.push_back("2.before"), handled = true;
  };
  gLog.clear();
  form.setWindowFlag(Qt::Tool);
  EXPECT_EQ(gLog, (Log{"2.before", "own", "2.after"}));
  gLog.clear();
  form.Perform(WM_USER);
  EXPECT_EQ(gLog, Log{"own"});
  ServePostedMessages();
  gLog.clear();
  form.Perform(WM_USER);
  EXPECT_EQ(gLog, (Log{"1.before", "own", "2.after", "1.after"}));
}

TEST_F(VxHookTest, NoRehookOnceTheLastHookIsGone) {
  LoggingForm form;
  form.winId();
  const std::intptr_t own = GetWindowLongA(&form, GWL_WNDPROC);
  auto hook = MakeHook(&form, "1");
  form.setWindowFlag(Qt::Tool);  // a re-hook is now pending
  hook.reset();
  ServePostedMessages();
  EXPECT_EQ(GetWindowLongA(&form, GWL_WNDPROC), own);
  EXPECT_EQ(GlobalHookList()->Count(), 0u);
}

TEST_F(VxHookTest, UnhookingUnderAThirdPartyKeepsItsProcedureAndTakesOursOutOfTheChain) {
  LoggingForm form;
  auto hook = MakeHook(&form, "hook");
  WNDPROC underThirdParty = 0;
  const WNDPROC third = MakeObjectInstance([&](TMessage& m) {
    gLog.push_back("third");
    m.Result = CallWindowProcA(underThirdParty, &form, m.Msg, m.WParam, m.LParam);
  });
  underThirdParty = static_cast<WNDPROC>(SetWindowLongA(&form, GWL_WNDPROC, third));
  hook.reset();
  EXPECT_EQ(GetWindowLongA(&form, GWL_WNDPROC), third);
  ServePostedMessages();  // the idle control hook is freed; its old procedure must not be called
  gLog.clear();
  EXPECT_EQ(form.Perform(WM_USER), 5);
  EXPECT_EQ(gLog, (Log{"third", "own"}));

  auto again = MakeHook(&form, "again");  // hooking anew sits on top of the third party, no loop
  gLog.clear();
  form.Perform(WM_USER);
  EXPECT_EQ(gLog, (Log{"again.before", "third", "own", "again.after"}));
  again.reset();
  FreeObjectInstance(third);
}

TEST_F(VxHookTest, ADestroyedControlIsLetGoAndAnInactiveHookWaitsForActivation) {
  auto form = std::make_unique<LoggingForm>();
  form->winId();
  auto hook = MakeHook(form.get(), "1");
  form.reset();
  EXPECT_EQ(hook->WinControl(), nullptr);
  EXPECT_TRUE(hook->Active());
  ServePostedMessages();
  EXPECT_EQ(GlobalHookList()->Count(), 0u);

  LoggingForm other;
  hook->SetActive(false);
  hook->SetWinControl(&other);
  EXPECT_EQ(hook->WinControl(), &other);
  EXPECT_EQ(hook->Binding(), nullptr);
  other.Perform(WM_USER);
  EXPECT_EQ(gLog, Log{"own"});
  hook->SetActive(true);
  gLog.clear();
  other.Perform(WM_USER);
  EXPECT_EQ(gLog, (Log{"1.before", "own", "1.after"}));
}

TEST_F(VxHookTest, AFailingHandlerIsShownAndTheMessageGoesOn) {
  std::vector<AnsiString> shown;
  const MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest& r) {
    shown.push_back(r.Text);
    return 1;
  });
  LoggingForm form;
  auto first = MakeHook(&form, "1");
  auto second = MakeHook(&form, "2");
  second->BeforeMessage = [](QObject*, TMessage&, bool&) { throw Exception("hook failed"); };
  EXPECT_EQ(form.Perform(WM_USER), 5);
  EXPECT_EQ(gLog, (Log{"1.before", "own", "2.after", "1.after"}));
  EXPECT_EQ(shown, std::vector<AnsiString>{"hook failed"});
  SetMessageBoxHandler(previous);
}

TEST_F(VxHookTest, AHookOnItsOwnFormIsWrittenAsIsFormAndLoadingItHooksTheLoadingForm) {
  LoggingForm form;
  auto* hook = new TVxWindowHook(&form);
  hook->SetWinControl(&form);
  const Written written = Write(*hook);
  EXPECT_EQ(written, (Written{{"Active", true}, {"IsForm", true}}));

  LoggingForm loading;
  TVxWindowHook* loaded = Load(loading, written);
  EXPECT_EQ(loaded->WinControl(), &loading);
  LogBothPhases(*loaded, "loaded");
  loading.Perform(WM_USER);
  EXPECT_EQ(gLog, (Log{"loaded.before", "own", "loaded.after"}));
}

TEST_F(VxHookTest, OnlyAControlThatIsNotAFormIsWrittenAsAReference) {
  LoggingForm form;
  auto* control = new LoggingControl(&form);
  control->setObjectName(QStringLiteral("list"));
  LoggingForm other;
  struct Case {
    const char* What;
    QWidget* Hooked;
    Written Expected;
  };
  const Case cases[] = {
      {"a control on the form", control, {{"Active", true}, {"WinControl", QStringLiteral("list")}}},
      {"another form", &other, {{"Active", true}}},
      {"nothing", nullptr, {{"Active", true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    TVxWindowHook hook(&form);
    hook.SetWinControl(c.Hooked);
    EXPECT_FALSE(hook.HooksOwnerForm());
    EXPECT_EQ(Write(hook), c.Expected);
  }

  TVxWindowHook hook(&form);
  hook.SetWinControl(control);
  LoggingForm loading;
  (new LoggingControl(&loading))->setObjectName(QStringLiteral("list"));
  TVxWindowHook* loaded = Load(loading, Write(hook));
  EXPECT_EQ(loaded->WinControl(), loading.findChild<QWidget*>(QStringLiteral("list")));
}

TEST_F(VxHookTest, IsFormHooksOnlyAFormOwnerAndIsWrittenAgainstAnAncestorOnlyWhenItDiffers) {
  TComponent component;
  TVxWindowHook ownedByComponent(&component);
  ownedByComponent.setProperty("IsForm", true);
  EXPECT_EQ(ownedByComponent.WinControl(), nullptr);

  LoggingForm form;
  TVxWindowHook onForm(&form);
  onForm.setProperty("IsForm", true);
  TVxWindowHook unhooked(&form);
  unhooked.setProperty("IsForm", false);
  EXPECT_EQ(unhooked.WinControl(), nullptr);
  EXPECT_FALSE(onForm.StoresIsForm(&onForm));
  EXPECT_TRUE(onForm.StoresIsForm(&unhooked));
  EXPECT_TRUE(unhooked.StoresIsForm(&onForm));
}

TEST_F(VxHookTest, RecreatingAHookedControlsWindowEndsWithTheHookInstalled) {
  auto control = std::make_unique<LoggingControl>();
  control->winId();
  auto hook = MakeHook(control.get(), "hook");
  control->setWindowFlag(Qt::Tool);  // the control's window is made anew, the control lives on
  EXPECT_EQ(gLog, (Log{"hook.before", "own", "hook.after"}));
  gLog.clear();
  control->Perform(WM_USER);
  EXPECT_EQ(gLog, Log{"own"});  // until the re-hook message is served
  ServePostedMessages();
  gLog.clear();
  control->Perform(WM_USER);
  EXPECT_EQ(gLog, (Log{"hook.before", "own", "hook.after"}));
  EXPECT_EQ(hook->WinControl(), control.get());
}
