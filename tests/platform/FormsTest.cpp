#include "Forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

TEST(FormsTest, ParentFormIsTheNearestFormAbove) {
  TForm form;
  QWidget panel(&form);
  QWidget button(&panel);
  EXPECT_EQ(GetParentForm(&button), &form);
  QWidget loose;
  EXPECT_EQ(GetParentForm(&loose), nullptr);
  EXPECT_EQ(GetParentForm(nullptr), nullptr);
}

namespace {

class PreviewingForm final : public TForm {
 public:
  std::vector<unsigned short> Keys;

 protected:
  void FormKeyDown(unsigned short& key, TShiftState) override { Keys.push_back(key); }
};

}  // namespace

TEST(FormsTest, OnlyAVisibleFormWithKeyPreviewSeesTheKeysFirst) {
  PreviewingForm previewing;
  PreviewingForm plain;
  previewing.KeyPreview = true;
  QLineEdit onPreviewing(&previewing);
  QLineEdit onPlain(&plain);
  previewing.show();
  plain.show();
  QTest::keyClick(&onPreviewing, Qt::Key_A);
  QTest::keyClick(&onPlain, Qt::Key_B);
  EXPECT_EQ(previewing.Keys, std::vector<unsigned short>{'A'});
  EXPECT_TRUE(plain.Keys.empty());
  // Without key preview a form installs no application-wide filter at all.
  EXPECT_EQ(plain.findChildren<QObject*>(Qt::FindDirectChildrenOnly).size(), 1);
  previewing.hide();
  QTest::keyClick(&onPreviewing, Qt::Key_C);
  EXPECT_EQ(previewing.Keys, std::vector<unsigned short>{'A'}) << "a hidden form no longer watches";
}

TEST(FormsTest, AModalFormGivesTheActivationBackToTheWindowThatHadIt) {
  TForm main;
  QLineEdit edit(&main);
  main.show();
  main.activateWindow();
  edit.setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  TForm modal;  // frameless, as the secondary windows are
  modal.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  QLineEdit other(&modal);
  QTimer::singleShot(0, &modal, [&] {
    EXPECT_TRUE(QTest::qWaitForWindowActive(&modal));
    other.setFocus();
    modal.ModalResult = mrOk;
  });
  EXPECT_EQ(modal.ShowModal(), mrOk);
  // On X without a window manager the server gives the focus to no window when the modal one goes,
  // and the program learns of it a little later: a fixed wait, as it checks that nothing takes the
  // activation away, and a condition would hold before the loss arrives.
  QTest::qWait(1000);
  EXPECT_EQ(QApplication::activeWindow(), &main);
  EXPECT_EQ(QApplication::focusWidget(), &edit);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ok"));
  EXPECT_EQ(edit.text(), QStringLiteral("ok"));
}
