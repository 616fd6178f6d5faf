#include "Placemnt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "Forms.h"
#include "TestSupport.h"
#include "VxHook.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

class TEditorForm final : public TForm {};

// A form carrying a placement that was set up with it (loaded), as a form's layout does.
struct PlacedForm {
  explicit PlacedForm(const AnsiString& iniFile, bool useRegistry = false) {
    Form = std::make_unique<TEditorForm>();
    Form->setGeometry(10, 20, 300, 200);
    Form->OnShow = [this](QObject*) { Log.push_back("form.show"); };
    Placement = new TFormPlacement(Form.get());
    Placement->ComponentState |= csLoading;
    Placement->SetIniFileName(iniFile);
    Placement->UseRegistry = useRegistry;
    Placement->Loaded();
    Placement->OnRestorePlacement = [this](QObject*) { Log.push_back("restored"); };
    Placement->OnSavePlacement = [this](QObject*) { Log.push_back("saved"); };
  }
  std::vector<std::string> Log;  // outlives the form, which may save as it goes
  std::unique_ptr<TEditorForm> Form;
  TFormPlacement* Placement;
};

class PlacemntTest : public testing::Test {
 protected:
  void SetUp() override {
    Previous = SetScreenInfoSource([] { return TScreenInfo{1024, 768, 96, {{0, 0, 1024, 768}}, true}; });
    PreviousBox = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
      Shown.push_back(r.Text);
      return 1;
    });
  }
  void TearDown() override {
    SetScreenInfoSource(Previous);
    SetMessageBoxHandler(PreviousBox);
    QCoreApplication::sendPostedEvents();
    FreeGlobalHookList();
  }
  TempProgramFolder Folder;
  AnsiString Ini = Folder.File("editor.ini");
  TScreenInfoSource Previous;
  MessageBoxHandler PreviousBox;
  std::vector<AnsiString> Shown;
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(PlacemntTest, APlacementIsSavedOnCloseAndRestoredOnShowInAnIniFileOrTheRegistry) {
  for (const bool registry : {false, true}) {
    const AnsiString name = registry ? "Software\\Editor" : Ini;
    {
      PlacedForm placed(name, registry);
      placed.Form->show();
      EXPECT_EQ(placed.Log, (Log{"restored", "form.show"}));
      placed.Form->setGeometry(40, 50, 400, 300);
      EXPECT_TRUE(placed.Form->close());
      EXPECT_TRUE(placed.Placement->WasSaved());
    }
    if (!registry) {
      const AnsiString text = ReadBytes(Ini);
      EXPECT_NE(text.find("[TEditorForm]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=96\n"), AnsiString::npos)
          << text;
      EXPECT_NE(text.find("Visible=0\n"), AnsiString::npos) << "saved from the close, not the destruction";
    }
    PlacedForm again(name, registry);
    again.Form->show();
    EXPECT_EQ(again.Form->geometry(), QRect(40, 50, 400, 300)) << (registry ? "registry" : "INI file");
  }
}

TEST_F(PlacemntTest, DestructionSavesOnlyAfterARestoreWithoutASaveSince) {
  { PlacedForm neverShown(Ini); }
  EXPECT_FALSE(std::filesystem::exists(Ini)) << "a form never shown writes nothing";
  {
    PlacedForm placed(Ini);
    placed.Form->show();
  }
  EXPECT_NE(ReadBytes(Ini).find("Visible=1\n"), AnsiString::npos);
}

TEST_F(PlacemntTest, TheFormsOwnHandlersStillRunAndARefusedCloseSavesNothing) {
  auto form = std::make_unique<TEditorForm>();
  Log log;
  bool allow = false;
  form->OnShow = [&](QObject*) { log.push_back("show"); };
  form->OnCloseQuery = [&](QObject*, bool& canClose) {
    log.push_back("query");
    canClose = allow;
  };
  form->OnDestroy = [&](QObject*) { log.push_back("destroy"); };
  auto* placement = new TFormPlacement(form.get());
  placement->ComponentState |= csLoading;
  placement->SetIniFileName(Ini);
  placement->Loaded();
  placement->OnSavePlacement = [&](QObject*) { log.push_back("saved"); };
  form->show();
  EXPECT_FALSE(form->close());
  allow = true;
  EXPECT_TRUE(form->close());
  form.reset();
  EXPECT_EQ(log, (Log{"show", "query", "query", "saved", "destroy"}));
}

TEST_F(PlacemntTest, AnOlderStoredVersionIsNotRestoredAndTheNextSaveWritesTheCurrentOne) {
  WriteBytes(Ini, "[TEditorForm]\nFormVersion=1\nNormPos=40,50,440,350\n");
  PlacedForm placed(Ini);
  placed.Placement->Version = 2;
  placed.Form->show();
  EXPECT_EQ(placed.Form->geometry(), QRect(10, 20, 300, 200));
  EXPECT_EQ(placed.Log, Log{"form.show"});
  EXPECT_TRUE(placed.Placement->WasRestored());
  placed.Form->close();
  EXPECT_NE(ReadBytes(Ini).find("FormVersion=2\n"), AnsiString::npos);
}

TEST_F(PlacemntTest, LinksStoreAndRetrieveWhileTheStorageIsOpenAlsoWithoutAForm) {
  TComponent owner;
  owner.Name = "Owner";
  TFormPlacement placement(&owner);
  placement.SetIniFileName(Ini);
  placement.Active = false;  // an explicit save writes when the placement is not active
  TIniLink link;
  Log log;
  link.OnStore = [&](TIniLink* sender) {
    log.push_back("store");
    EXPECT_EQ(sender, &link);
    StorageWriteInteger(sender->StorageObject(), sender->SectionPrefix() + "List", "Count", 3);
  };
  link.OnRetrieve = [&](TIniLink* sender) {
    log.push_back("retrieve " + std::to_string(StorageReadInteger(sender->StorageObject(),
                                                                  sender->SectionPrefix() + "List", "Count", 0)));
  };
  link.SetPlacement(&placement);
  EXPECT_EQ(link.SectionPrefix(), "");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(link.StorageObject()));
  placement.StorePlacement();
  EXPECT_EQ(ReadBytes(Ini), "[Owner]\nFormVersion=0\n\n[List]\nCount=3\n");
  placement.LoadPlacement();
  placement.SetIniSection("Sec");
  EXPECT_EQ(link.SectionPrefix(), "Sec\\");
  link.SetPlacement(nullptr);
  placement.StorePlacement();
  EXPECT_EQ(log, (Log{"store", "retrieve 3"}));
}

TEST_F(PlacemntTest, APlacementMadeInCodeTakesNothingOverAndGivesBackOnlyItsOwnHandlers) {
  TEditorForm form;
  form.OnShow = [](QObject*) {};
  {
    TFormPlacement inCode(&form);
    inCode.SetIniFileName(Ini);
    form.show();
    EXPECT_FALSE(inCode.WasRestored());
  }
  EXPECT_TRUE(form.OnShow) << "a placement that took nothing gives nothing back";
  form.hide();

  int mine = 0;
  form.OnCloseQuery = [&](QObject*, bool&) { ++mine; };
  auto* loaded = new TFormPlacement(&form);
  loaded->ComponentState |= csLoading;
  loaded->SetIniFileName(Ini);
  loaded->Loaded();
  int later = 0;
  form.OnShow = [&](QObject*) { ++later; };  // somebody else's handler replaces the placement's
  delete loaded;
  form.show();
  EXPECT_EQ(later, 1) << "kept: it no longer held the placement's handler";
  bool canClose = true;
  form.OnCloseQuery(&form, canClose);
  EXPECT_EQ(mine, 1) << "given back";
  EXPECT_FALSE(form.OnDestroy) << "given back empty, as it was";
}

TEST_F(PlacemntTest, PreventResizeFixesTheSizeAndTakesAwayMaximizing) {
  PlacedForm placed(Ini);
  TEditorForm& form = *placed.Form;
  ASSERT_TRUE(HasBorderIcon(&form, biMaximize));
  placed.Placement->SetPreventResize(true);
  EXPECT_FALSE(HasBorderIcon(&form, biMaximize));
  EXPECT_EQ(placed.Placement->WindowHook()->WinControl(), &form);
  form.show();
  const QSize size = form.size();
  EXPECT_EQ(form.minimumSize(), size);
  EXPECT_EQ(form.maximumSize(), size);

  const struct {
    unsigned msg;
    std::intptr_t lParam;
    std::intptr_t result;
  } cases[] = {{WM_NCHITTEST, 0, 0}, {WM_INITMENUPOPUP, 0x10000, 1}, {WM_INITMENUPOPUP, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(form.Perform(c.msg, 0, c.lParam), c.result) << c.msg;

  placed.Placement->SetPreventResize(false);
  EXPECT_TRUE(HasBorderIcon(&form, biMaximize));
  EXPECT_EQ(placed.Placement->WindowHook()->WinControl(), nullptr);
  EXPECT_NE(form.maximumSize(), size);
}

TEST_F(PlacemntTest, SizeLimitsHookTheFormAndAllZeroUnhooksIt) {
  PlacedForm placed(Ini);
  TEditorForm& form = *placed.Form;
  form.show();
  TWinMinMaxInfo limits;
  limits.Set(TWinMinMaxInfo::MinTrackWidth, 250);
  limits.Set(TWinMinMaxInfo::MaxTrackHeight, 400);
  placed.Placement->SetMinMaxInfo(limits);
  EXPECT_EQ(placed.Placement->WindowHook()->WinControl(), &form);
  EXPECT_EQ(form.minimumWidth(), 250);
  EXPECT_EQ(form.maximumHeight(), 400);
  placed.Placement->MinMaxInfo().Set(TWinMinMaxInfo::MinTrackWidth, 0);
  placed.Placement->MinMaxInfo().Set(TWinMinMaxInfo::MaxTrackHeight, 0);
  EXPECT_TRUE(placed.Placement->MinMaxInfo().AllZero());
  EXPECT_EQ(placed.Placement->WindowHook()->WinControl(), nullptr);
  EXPECT_EQ(form.minimumWidth(), 0);
  EXPECT_EQ(form.maximumHeight(), QWIDGETSIZE_MAX);
}

TEST_F(PlacemntTest, TheFocusedControlIsStoredAndFocusedAgain) {
  {
    PlacedForm placed(Ini);
    placed.Placement->Options |= fpActiveControl;
    auto* name = new QLineEdit(placed.Form.get());
    name->setObjectName(QStringLiteral("EditName"));
    new QLineEdit(placed.Form.get());
    placed.Form->show();
    name->setFocus();
    placed.Form->close();
  }
  EXPECT_NE(ReadBytes(Ini).find("ActiveControl=EditName\n"), AnsiString::npos);
  PlacedForm placed(Ini);
  placed.Placement->Options |= fpActiveControl;
  new QLineEdit(placed.Form.get());
  auto* name = new QLineEdit(placed.Form.get());
  name->setObjectName(QStringLiteral("EditName"));
  placed.Form->show();
  EXPECT_EQ(placed.Form->focusWidget(), name);
}

TEST_F(PlacemntTest, AStorageFailureIsShownAndTheFormGoesOn) {
  WriteBytes(Folder.Path / "plain", "not a folder");
  PlacedForm placed(Folder.File("plain/editor.ini"));
  placed.Form->show();
  EXPECT_TRUE(placed.Form->close());
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find("Unable to write to"), AnsiString::npos);
}
