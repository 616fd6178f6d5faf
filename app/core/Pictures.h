#pragma once
// The lists of colour schemes and card pictures, and the arithmetic of their commands.

#include <string_view>
#include <vector>

#include "SysUtils.h"

inline constexpr std::string_view kDefaultPictureName = "000_HELP.JPG";

// The scheme pictures of skinsFolder: full paths, lower-cased, in the default sort order, with
// every entry dropped that does not pair with its neighbour. Entry 2i is the background of scheme
// i, entry 2i+1 its top bar; an odd entry left at the end belongs to no scheme.
[[nodiscard]] std::vector<AnsiString> CollectSchemeFiles(const AnsiString& skinsFolder);
// Two scheme pictures pair when their paths are equal without their last five characters.
[[nodiscard]] bool SchemePictureNamesPair(std::string_view first, std::string_view second);
// The pair filter on an already sorted, lower-cased list.
void FilterSchemePairs(std::vector<AnsiString>& files);

// The scheme index to use at start: -1 unless 0 <= stored < schemeCount.
[[nodiscard]] int StartSchemeIndex(int stored, int schemeCount);
[[nodiscard]] int NextSchemeIndex(int index, int schemeCount);
[[nodiscard]] int PreviousSchemeIndex(int index, int schemeCount);

// The card pictures of imagesFolder: full paths as the folder spells them, in the default order.
[[nodiscard]] std::vector<AnsiString> CollectPictureFiles(const AnsiString& imagesFolder);
// Index of the first entry whose file name is "000_HELP.JPG" in any case; 0 when there is none.
[[nodiscard]] int FindDefaultPicture(const std::vector<AnsiString>& files);
[[nodiscard]] int NextPictureIndex(int index, int count);
// Below 0 or above 10000 wraps to the last picture.
[[nodiscard]] int PreviousPictureIndex(int index, int count);

// Whether the picture menu's delete item is enabled for the card's picture name: names like
// "123_x.jpg" are protected; a name of 4 characters or fewer leaves the item as it was.
enum class TDeleteState { Enable, Disable, Unchanged };
[[nodiscard]] TDeleteState PictureDeleteState(std::string_view pictureFileName);

// How a picture of width x height is fitted into targetWidth x targetHeight.
struct TFitPlan {
  enum class TKind { Leave, Stretch, Draw };
  TKind Kind = TKind::Leave;
  int DrawWidth = 0;  // for Draw: the size the picture is scaled to, drawn at (0, 0) and cut
  int DrawHeight = 0;
};
[[nodiscard]] TFitPlan FitImagePlan(int width, int height, int targetWidth, int targetHeight);
