#include "Pictures.h"

#include <algorithm>

#include "CodePage.h"
#include "Files.h"
#include "StringList.h"

namespace {

std::vector<AnsiString> WithFolder(const AnsiString& folder, std::vector<AnsiString> names) {
  for (AnsiString& name : names) name.insert(0, folder);
  return names;
}

void SortInDefaultOrder(std::vector<AnsiString>& files) {
  TStringList list;
  for (const AnsiString& file : files) list.Add(file);
  list.Sort();
  files.assign(list.begin(), list.end());
}

}  // namespace

bool SchemePictureNamesPair(std::string_view first, std::string_view second) {
  auto cut = [](std::string_view s) { return s.substr(0, s.size() >= 5 ? s.size() - 5 : 0); };
  return cut(first) == cut(second);
}

void FilterSchemePairs(std::vector<AnsiString>& files) {
  std::size_t i = 0;
  while (files.size() >= 1 && i < files.size() - 1) {
    if (i % 2 == 1)
      ++i;
    else if (SchemePictureNamesPair(files[i], files[i + 1]))
      ++i;
    else
      files.erase(files.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

std::vector<AnsiString> CollectSchemeFiles(const AnsiString& skinsFolder) {
  std::vector<AnsiString> files = WithFolder(skinsFolder, FindFiles(skinsFolder, "*.jpg"));
  for (AnsiString& file : files) file = LowerCase(file);
  SortInDefaultOrder(files);
  FilterSchemePairs(files);
  return files;
}

int StartSchemeIndex(int stored, int schemeCount) {
  return schemeCount == 0 || stored < 0 || stored >= schemeCount ? -1 : stored;
}

int NextSchemeIndex(int index, int schemeCount) {
  if (index == -1) return -1;
  return index + 1 >= schemeCount ? 0 : index + 1;
}

int PreviousSchemeIndex(int index, int schemeCount) {
  if (index == -1) return -1;
  return index - 1 < 0 ? schemeCount - 1 : index - 1;
}

std::vector<AnsiString> CollectPictureFiles(const AnsiString& imagesFolder) {
  std::vector<AnsiString> files = WithFolder(imagesFolder, FindFiles(imagesFolder, "*.jpg"));
  SortInDefaultOrder(files);
  return files;
}

int FindDefaultPicture(const std::vector<AnsiString>& files) {
  const auto found = std::find_if(files.begin(), files.end(), [](const AnsiString& file) {
    return UpperCase(ExtractFileName(file)) == kDefaultPictureName;
  });
  return found == files.end() ? 0 : static_cast<int>(found - files.begin());
}

int NextPictureIndex(int index, int count) {
  if (index == -1) return -1;
  return index + 1 >= count ? 0 : index + 1;
}

int PreviousPictureIndex(int index, int count) {
  if (index == -1) return -1;
  const int previous = index - 1;
  return previous < 0 || previous > 10000 ? count - 1 : previous;
}

TDeleteState PictureDeleteState(std::string_view pictureFileName) {
  if (pictureFileName.size() <= 4) return TDeleteState::Unchanged;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const bool protectedName =
      digit(pictureFileName[0]) && digit(pictureFileName[1]) && digit(pictureFileName[2]) && pictureFileName[3] == '_';
  return protectedName ? TDeleteState::Disable : TDeleteState::Enable;
}

TFitPlan FitImagePlan(int width, int height, int targetWidth, int targetHeight) {
  TFitPlan plan;
  const long long w = width;
  const long long h = height;
  if (!(w > targetHeight && h > targetHeight) || w * h == 0) return plan;
  if (w > h) {
    plan.Kind = TFitPlan::TKind::Draw;
    plan.DrawWidth = static_cast<int>((targetHeight * w) / h);
    plan.DrawHeight = targetHeight;
    return plan;
  }
  const long long ratio = (h * 100) / w;
  const long long threshold = (((targetHeight * 100LL) / targetWidth) * 110) / 100;
  if (ratio > threshold) {
    plan.Kind = TFitPlan::TKind::Draw;
    plan.DrawWidth = targetWidth;
    plan.DrawHeight = static_cast<int>((h * targetWidth) / w);
  } else {
    plan.Kind = TFitPlan::TKind::Stretch;
  }
  return plan;
}
