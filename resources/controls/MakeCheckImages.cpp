// Draws the check list box's check images into a 4-bit BMP: 6 x 3 cells of 16 x 13 pixels,
// magenta where nothing is drawn. Rows: check boxes, radio buttons, check marks; columns:
// unchecked, checked, grayed, then the same three on a silver (disabled) face.
//
//   vab_make_check_images resources/controls/CHECK_IMAGES.bmp
#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// The standard 16-colour palette, as B, G, R.
constexpr std::array<std::array<std::uint8_t, 3>, 16> kPalette{{{0, 0, 0},
                                                                {0, 0, 128},
                                                                {0, 128, 0},
                                                                {0, 128, 128},
                                                                {128, 0, 0},
                                                                {128, 0, 128},
                                                                {128, 128, 0},
                                                                {192, 192, 192},
                                                                {128, 128, 128},
                                                                {0, 0, 255},
                                                                {0, 255, 0},
                                                                {0, 255, 255},
                                                                {255, 0, 0},
                                                                {255, 0, 255},
                                                                {255, 255, 0},
                                                                {255, 255, 255}}};
enum : std::uint8_t { Black = 0, DarkGreen = 2, Gray = 8, Silver = 7, Lime = 10, Magenta = 13, White = 15 };

constexpr int kCellW = 16;
constexpr int kCellH = 13;
constexpr int kWidth = kCellW * 6;
constexpr int kHeight = kCellH * 3;

std::vector<std::uint8_t> Pixels(kWidth* kHeight, Magenta);

void Put(int cell, int x, int y, std::uint8_t colour) {
  const int left = (cell % 6) * kCellW;
  const int top = (cell / 6) * kCellH;
  if (x < 0 || y < 0 || x >= kCellW || y >= kCellH) return;
  Pixels[static_cast<std::size_t>((top + y) * kWidth + left + x)] = colour;
}

// The tick of a check box: 7 pixels wide, 3 high strokes, with its top-left at (x, y).
void Tick(int cell, int x, int y, std::uint8_t colour) {
  static constexpr int kRise[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 3; ++j) Put(cell, x + i, y + kRise[i] + j, colour);
}

void Box(int cell, int state, bool enabled) {
  // A sunken 13 x 13 square from x = 1: grey and black above and left, white and silver below.
  for (int i = 0; i < 13; ++i) {
    Put(cell, 1 + i, 0, Gray);
    Put(cell, 1, i, Gray);
    Put(cell, 1 + i, 12, White);
    Put(cell, 13, i, White);
  }
  for (int i = 1; i < 12; ++i) {
    Put(cell, 1 + i, 1, Black);
    Put(cell, 2, i, Black);
    Put(cell, 1 + i, 11, Silver);
    Put(cell, 12, i, Silver);
  }
  Put(cell, 13, 0, White);
  Put(cell, 1, 12, White);
  for (int y = 2; y < 11; ++y)
    for (int x = 3; x < 12; ++x) {
      std::uint8_t face = enabled ? White : Silver;
      if (state == 2 && (x + y) % 2 == 0) face = enabled ? Silver : White;
      Put(cell, x, y, face);
    }
  if (state == 1) Tick(cell, 4, 3, enabled ? Black : Gray);
  if (state == 2) Tick(cell, 4, 3, Gray);
}

void Radio(int cell, int state, bool enabled) {
  // A sunken circle of 12 pixels across, centred in the cell.
  static const char* const kRows[12] = {
      "....GGGG....", "..GGkkkkGG..", ".GkkwwwwkkW.", ".Gkwwwwwwsw.", "Gkwwwwwwwwsw", "Gkwwwwwwwwsw",
      "Gkwwwwwwwwsw", "Gkwwwwwwwwsw", ".Gkwwwwwwsw.", ".Gsswwwwssw.", "..WWsssswW..", "....WWWW....",
  };
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      std::uint8_t colour = Magenta;
      switch (kRows[y][x]) {
        case 'G':
          colour = Gray;
          break;
        case 'k':
          colour = Black;
          break;
        case 'W':
          colour = White;
          break;
        case 's':
          colour = Silver;
          break;
        case 'w':
          colour = enabled ? White : Silver;
          if (state == 2 && (x + y) % 2 == 0) colour = enabled ? Silver : White;
          break;
        default:
          continue;
      }
      Put(cell, 2 + x, y, colour);
    }
  if (state != 0) {
    const std::uint8_t dot = state == 1 && enabled ? Black : Gray;
    for (int y = 4; y < 8; ++y)
      for (int x = 4; x < 8; ++x)
        if (!((y == 4 || y == 7) && (x == 4 || x == 7))) Put(cell, 2 + x, y, dot);
  }
}

void Mark(int cell, int state, bool enabled) {
  // A plain square with a green tick that runs past its top-right corner.
  const std::uint8_t frame = enabled ? Black : Gray;
  for (int i = 0; i < 10; ++i) {
    Put(cell, 1 + i, 3, frame);
    Put(cell, 1, 3 + i, frame);
    Put(cell, 1 + i, 12, frame);
    Put(cell, 10, 3 + i, frame);
  }
  for (int y = 4; y < 12; ++y)
    for (int x = 2; x < 10; ++x) {
      std::uint8_t face = enabled ? White : Silver;
      if (state == 2 && (x + y) % 2 == 0) face = enabled ? Silver : White;
      Put(cell, x, y, face);
    }
  if (state == 0) return;
  const std::uint8_t tick = state == 1 && enabled ? Lime : Gray;
  const std::uint8_t edge = state == 1 && enabled ? DarkGreen : Gray;
  static constexpr int kTop[11] = {6, 7, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  for (int i = 0; i < 11; ++i) {
    Put(cell, 3 + i, kTop[i], tick);
    Put(cell, 3 + i, kTop[i] + 1, tick);
    Put(cell, 3 + i, kTop[i] + 2, edge);
  }
}

void Le(std::FILE* f, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
    return 2;
  }
  for (int kind = 0; kind < 3; ++kind)
    for (int column = 0; column < 6; ++column) {
      const int cell = kind * 6 + column;
      const int state = column % 3;
      const bool enabled = column < 3;
      if (kind == 0) Box(cell, state, enabled);
      if (kind == 1) Radio(cell, state, enabled);
      if (kind == 2) Mark(cell, state, enabled);
    }
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) return 1;
  constexpr int kRowBytes = (kWidth / 2 + 3) / 4 * 4;
  constexpr int kOffset = 14 + 40 + 16 * 4;
  constexpr int kSize = kOffset + kRowBytes * kHeight;
  std::fputs("BM", f);
  Le(f, kSize, 4);
  Le(f, 0, 4);
  Le(f, kOffset, 4);
  Le(f, 40, 4);
  Le(f, kWidth, 4);
  Le(f, kHeight, 4);
  Le(f, 1, 2);
  Le(f, 4, 2);
  Le(f, 0, 4);
  Le(f, kRowBytes * kHeight, 4);
  Le(f, 0, 4);
  Le(f, 0, 4);
  Le(f, 16, 4);
  Le(f, 0, 4);
  for (const auto& c : kPalette) {
    std::fputc(c[0], f);
    std::fputc(c[1], f);
    std::fputc(c[2], f);
    std::fputc(0, f);
  }
  for (int y = kHeight - 1; y >= 0; --y) {  // bottom-up
    for (int x = 0; x < kRowBytes * 2; x += 2) {
      const auto at = [y](int px) {
        return px < kWidth ? Pixels[static_cast<std::size_t>(y * kWidth + px)] : std::uint8_t{0};
      };
      std::fputc(at(x) << 4 | at(x + 1), f);
    }
  }
  return std::fclose(f) == 0 ? 0 : 1;
}
