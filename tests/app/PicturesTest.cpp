#include "Pictures.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using Files = std::vector<AnsiString>;

Files Filtered(Files files) {
  FilterSchemePairs(files);
  return files;
}

TEST(Schemes, PairFilterKeepsNeighboursThatDifferBeforeTheExtension) {
  EXPECT_EQ(Filtered({"a1.jpg", "a2.jpg", "b1.jpg"}), (Files{"a1.jpg", "a2.jpg", "b1.jpg"}));  // b1 left over
  EXPECT_EQ(Filtered({"a1.jpg", "a2.jpg", "b1.jpg", "c2.jpg"}), (Files{"a1.jpg", "a2.jpg", "c2.jpg"}));
  EXPECT_EQ(Filtered({"x.jpg", "a1.jpg", "a2.jpg"}), (Files{"a1.jpg", "a2.jpg"}));
  EXPECT_EQ(Filtered({"sky_a.jpg", "sky_b.jpg", "sun1.jpg", "sun2.jpg"}).size(), 4u);
  EXPECT_EQ(Filtered({}), Files{});
  EXPECT_EQ(Filtered({"one.jpg"}), Files{"one.jpg"});
  EXPECT_TRUE(SchemePictureNamesPair("blue1.jpg", "blue2.jpg"));
  EXPECT_FALSE(SchemePictureNamesPair("blue1.jpg", "bluer.jpg2"));
}

TEST(Schemes, CollectedFromTheFolderLowerCasedAndSorted) {
  testing_support::TempProgramFolder folder;
  std::filesystem::create_directory(folder.Path / "skins");
  for (const char* name : {"Sky_B.JPG", "sky_a.jpg", "b1.jpg", "a2.jpg", "a1.jpg", "readme.txt"})
    testing_support::WriteBytes(folder.Path / "skins" / name, "x");
  const AnsiString skins = folder.File("skins/");
  const Files files = CollectSchemeFiles(skins);
  EXPECT_EQ(files, (Files{LowerCase(skins) + "a1.jpg", LowerCase(skins) + "a2.jpg", LowerCase(skins) + "sky_a.jpg",
                          LowerCase(skins) + "sky_b.jpg"}));
}

TEST(Schemes, IndexArithmetic) {
  EXPECT_EQ(StartSchemeIndex(0, 2), 0);
  EXPECT_EQ(StartSchemeIndex(5, 2), -1);
  EXPECT_EQ(StartSchemeIndex(2, 2), -1);
  EXPECT_EQ(StartSchemeIndex(-1, 2), -1);
  EXPECT_EQ(StartSchemeIndex(0, 0), -1);
  EXPECT_EQ(NextSchemeIndex(1, 2), 0);
  EXPECT_EQ(NextSchemeIndex(0, 2), 1);
  EXPECT_EQ(PreviousSchemeIndex(0, 3), 2);
  EXPECT_EQ(NextSchemeIndex(-1, 3), -1);
  EXPECT_EQ(PreviousSchemeIndex(-1, 3), -1);
}

TEST(Pictures, ListDefaultPictureAndSteps) {
  testing_support::TempProgramFolder folder;
  std::filesystem::create_directory(folder.Path / "images");
  for (const char* name : {"cat.jpg", "000_Help.jpg", "Bird.JPG", "x.png"})
    testing_support::WriteBytes(folder.Path / "images" / name, "x");
  const AnsiString images = folder.File("images/");
  const Files files = CollectPictureFiles(images);
  EXPECT_EQ(files, (Files{images + "000_Help.jpg", images + "Bird.JPG", images + "cat.jpg"}));
  EXPECT_EQ(FindDefaultPicture(files), 0);
  EXPECT_EQ(FindDefaultPicture({"/i/a.jpg", "/i/000_HELP.JPG"}), 1);
  EXPECT_EQ(FindDefaultPicture({"/i/a.jpg"}), 0);
  EXPECT_EQ(NextPictureIndex(2, 3), 0);
  EXPECT_EQ(NextPictureIndex(-1, 3), -1);
  EXPECT_EQ(PreviousPictureIndex(0, 3), 2);
  EXPECT_EQ(PreviousPictureIndex(10002, 3), 2);
  EXPECT_EQ(PreviousPictureIndex(10001, 3), 10000);
}

TEST(Pictures, ProtectedNamesCannotBeDeleted) {
  struct Case {
    const char* name;
    TDeleteState state;
  };
  const Case cases[] = {
      {"000_HELP.JPG", TDeleteState::Disable}, {"123_x.jpg", TDeleteState::Disable},
      {"12a_x.jpg", TDeleteState::Enable},     {"00_x.jpg", TDeleteState::Enable},
      {"cat.jpg", TDeleteState::Enable},       {"1_.j", TDeleteState::Unchanged},
      {"", TDeleteState::Unchanged},           {"123_", TDeleteState::Unchanged},
  };
  for (const Case& c : cases) EXPECT_EQ(PictureDeleteState(c.name), c.state) << c.name;
}

TEST(Pictures, FitPlanForTheCardPictureSize) {
  struct Case {
    int width, height;
    TFitPlan::TKind kind;
    int drawWidth, drawHeight;
  };
  using K = TFitPlan::TKind;
  const Case cases[] = {
      {400, 300, K::Draw, 213, 160},  // full height, right part cut
      {300, 400, K::Draw, 150, 200},  // full width, bottom cut
      {300, 330, K::Stretch, 0, 0},  {200, 200, K::Stretch, 0, 0},
      {1000, 160, K::Leave, 0, 0},  // not above 160 in both directions
      {161, 161, K::Stretch, 0, 0},  {150, 400, K::Leave, 0, 0},
  };
  for (const Case& c : cases) {
    const TFitPlan plan = FitImagePlan(c.width, c.height, 150, 160);
    EXPECT_EQ(plan.Kind, c.kind) << c.width << "x" << c.height;
    EXPECT_EQ(plan.DrawWidth, c.drawWidth) << c.width << "x" << c.height;
    EXPECT_EQ(plan.DrawHeight, c.drawHeight) << c.width << "x" << c.height;
  }
}

}  // namespace
