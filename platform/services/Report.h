#pragma once
// Banded reports over Qt's print support: one detail band repeated down the columns of A4 pages,
// filled through the need-data event and printed on the chosen printer or into a PDF file. All
// pages are laid out first; the printer sees them only when that succeeded.

#include <QImage>
#include <QObject>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "Graphics.h"
#include "SysUtils.h"

class QPainter;

// An element of a band; positions and sizes in mm from the band's top-left corner.
class TQRPrintable {
 public:
  TQRPrintable(double left, double top, double width, double height)
      : Left(left), Top(top), Width(width), Height(height) {}
  virtual ~TQRPrintable() = default;
  TQRPrintable(const TQRPrintable&) = delete;
  TQRPrintable& operator=(const TQRPrintable&) = delete;

  double Left;
  double Top;
  double Width;
  double Height;
};

// A one-line text, as wide as its caption (cut at the band's edge).
class TQRLabel final : public TQRPrintable {
 public:
  TQRLabel(double left, double top, double pointSize, bool bold);
  AnsiString Caption;
  QFont Font;
  TColor Color = clWhite;  // the background, unless Transparent
  bool Transparent = false;
};

class TQRImage;
// Decoded pictures by file, kept for one print: each file is read once and every band that shows
// it shares the same picture. A picture is decoded no larger than it needs to be to cover
// width x height pixels, so that large photos take little memory.
class TQRPictureCache final {
 public:
  [[nodiscard]] QImage Load(const AnsiString& fileName, int width, int height);
  void Clear() { Pictures.clear(); }

 private:
  std::map<AnsiString, QImage> Pictures;
};

// A picture stretched over its rectangle.
class TQRImage final : public TQRPrintable {
 public:
  TQRImage(double left, double top, double width, double height, TQRPictureCache* cache)
      : TQRPrintable(left, top, width, height), Cache(cache) {}
  // Loads a JPEG file; raises when it cannot be read or decoded, keeping the picture it had.
  void LoadFromFile(const AnsiString& fileName);
  void Clear() { Picture = QImage(); }
  QImage Picture;

 private:
  TQRPictureCache* Cache;
};

enum class TQRShapeType { qrsRectangle, qrsHorLine };

class TQRShape final : public TQRPrintable {
 public:
  TQRShape(double left, double top, double width, double height, TQRShapeType shape, TColor pen)
      : TQRPrintable(left, top, width, height), Shape(shape), PenColor(pen) {}
  TQRShapeType Shape;
  TColor PenColor;
};

class TQRBand final {
 public:
  TQRBand(double width, double height, TQRPictureCache* cache) : Width(width), Height(height), Cache(cache) {}
  TQRLabel* AddLabel(double left, double top, double pointSize, bool bold);
  TQRImage* AddImage(double left, double top, double width, double height);
  TQRShape* AddShape(double left, double top, double width, double height, TQRShapeType shape, TColor pen);

  // What one printed band shows: the captions and pictures of its elements at that moment.
  struct TContents {
    std::vector<AnsiString> Captions;
    std::vector<QImage> Pictures;
  };
  [[nodiscard]] TContents Contents() const;
  // Paints contents into target (device units), the band's mm scaled to it.
  void Paint(QPainter& painter, const QRectF& target, const TContents& contents) const;

  double Width;
  double Height;
  TColor Color = clWhite;

 private:
  std::vector<std::unique_ptr<TQRPrintable>> Elements;
  TQRPictureCache* Cache;
};

// The printer set-up's choices, kept for the next prints.
struct TQRPrinterSettings {
  QString PrinterName;     // empty: the system's default printer
  QString OutputFileName;  // set: print into this PDF file instead of a printer
  int Copies = 1;          // copies of the whole report
  int FromPage = 0;        // 1-based page range; 0 and 0 for all pages
  int ToPage = 0;
  QPageLayout::Orientation Orientation = QPageLayout::Portrait;
  bool Duplex = false;
};

// The printer set-up dialog: edits settings and answers true for OK. pageCount is the number of
// pages of the last report, 0 before the first.
using TQRPrinterSetupHandler = std::function<bool(TQRPrinterSettings& settings, int pageCount)>;
// Replaces the dialog (tests answer it); returns the previous handler. Without one, Qt's print
// dialog is shown.
TQRPrinterSetupHandler SetPrinterSetupHandler(TQRPrinterSetupHandler handler);

using TQRNeedDataEvent = std::function<void(QObject* Sender, bool& MoreData)>;

class TQuickRep final : public QObject {
 public:
  explicit TQuickRep(QObject* parent = nullptr);
  ~TQuickRep() override;

  static constexpr int MaxPages = 10000;

  // Page in mm.
  double PageWidth = 210;
  double PageHeight = 297;
  double TopMargin = 10;
  double BottomMargin = 10;
  double LeftMargin = 10;
  double RightMargin = 10;
  int Columns = 1;
  double ColumnSpace = 0;
  bool PrintIfEmpty = true;

  TQRBand& Band() { return *FBand; }
  void SetBand(double width, double height);
  TQRNeedDataEvent OnNeedData;
  TQRPrinterSettings PrinterSettings;

  // Lays out the whole report through the need-data event, then prints it on the chosen printer
  // (or into the chosen PDF file), with the copies and the page range of the settings: the pages
  // of the range that the report has, or all of them when it has none of the range. Raises
  // Exception on any failure (no printer, a printer that cannot be opened, more than MaxPages
  // pages, or a failure of the event); the printer then has received nothing.
  void Print();
  // The printer set-up dialog; OK keeps its choices in PrinterSettings.
  void PrinterSetup();

  [[nodiscard]] int BandsPerPage() const;
  // Pages of the last report laid out; 0 before the first.
  [[nodiscard]] int PageCount() const { return FPageCount; }

 private:
  std::vector<TQRBand::TContents> LayOut();
  [[nodiscard]] QRectF BandRect(int slot) const;

  TQRPictureCache FCache;
  std::unique_ptr<TQRBand> FBand;
  int FPageCount = 0;
};
