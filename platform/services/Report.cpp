#include "Report.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <utility>

#include "CodePage.h"
#include "Jpeg.h"

namespace {

TQRPrinterSetupHandler& SetupHandler() {
  static TQRPrinterSetupHandler handler;
  return handler;
}

// A pen of one screen pixel (1/96 inch), at least one device pixel wide.
constexpr double kThinPenMm = 25.4 / 96;

QColor ColourOf(TColor colour) {
  return QColor::fromRgb(ColorToQRgb(colour));
}

bool ShowPrintDialog(TQRPrinterSettings& settings, int pageCount) {
  QPrinter printer(QPrinter::HighResolution);
  if (!settings.OutputFileName.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(settings.OutputFileName);
  } else if (!settings.PrinterName.isEmpty()) {
    printer.setPrinterName(settings.PrinterName);
  }
  printer.setCopyCount(settings.Copies);
  printer.setPageOrientation(settings.Orientation);
  printer.setDuplex(settings.Duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  // The report makes its copies itself, always collated: the dialog offers no choice of it.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                    QAbstractPrintDialog::PrintShowPageSize);
  dialog.setMinMax(1, pageCount > 0 ? pageCount : 9999);
  if (settings.FromPage > 0) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(settings.FromPage, std::max(settings.FromPage, settings.ToPage));
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  settings.OutputFileName = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
  settings.PrinterName = settings.OutputFileName.isEmpty() ? printer.printerName() : QString();
  settings.Copies = std::max(1, printer.copyCount());
  const bool range = printer.printRange() == QPrinter::PageRange;
  settings.FromPage = range ? printer.fromPage() : 0;
  settings.ToPage = range ? printer.toPage() : 0;
  settings.Orientation = printer.pageLayout().orientation();
  settings.Duplex = printer.duplex() != QPrinter::DuplexNone;
  return true;
}

}  // namespace

TQRPrinterSetupHandler SetPrinterSetupHandler(TQRPrinterSetupHandler handler) {
  return std::exchange(SetupHandler(), std::move(handler));
}

// ---- elements ----

TQRLabel::TQRLabel(double left, double top, double pointSize, bool bold)
    : TQRPrintable(left, top, 0, 0), Font(QStringLiteral("Arial")) {
  Font.setPointSizeF(pointSize);
  Font.setBold(bold);
}

QImage TQRPictureCache::Load(const AnsiString& fileName, int width, int height) {
  if (const auto found = Pictures.find(fileName); found != Pictures.end()) return found->second;
  TJPEGImage jpeg;
  jpeg.LoadScaledFromFile(fileName, width, height);
  return Pictures.emplace(fileName, jpeg.Bitmap()).first->second;
}

void TQRImage::LoadFromFile(const AnsiString& fileName) {
  // Enough pixels for 300 dots an inch.
  constexpr double kPixelsPerMm = 300 / 25.4;
  Picture = Cache->Load(fileName, static_cast<int>(std::ceil(Width * kPixelsPerMm)),
                        static_cast<int>(std::ceil(Height * kPixelsPerMm)));
}

TQRLabel* TQRBand::AddLabel(double left, double top, double pointSize, bool bold) {
  auto* label = new TQRLabel(left, top, pointSize, bold);
  Elements.emplace_back(label);
  return label;
}

TQRImage* TQRBand::AddImage(double left, double top, double width, double height) {
  auto* image = new TQRImage(left, top, width, height, Cache);
  Elements.emplace_back(image);
  return image;
}

TQRShape* TQRBand::AddShape(double left, double top, double width, double height, TQRShapeType shape, TColor pen) {
  auto* element = new TQRShape(left, top, width, height, shape, pen);
  Elements.emplace_back(element);
  return element;
}

TQRBand::TContents TQRBand::Contents() const {
  TContents contents;
  for (const auto& element : Elements) {
    if (const auto* label = dynamic_cast<const TQRLabel*>(element.get()))
      contents.Captions.push_back(label->Caption);
    else if (const auto* image = dynamic_cast<const TQRImage*>(element.get()))
      contents.Pictures.push_back(image->Picture);
  }
  return contents;
}

void TQRBand::Paint(QPainter& painter, const QRectF& target, const TContents& contents) const {
  const double scale = target.width() / Width;  // device units per mm
  const double dpi = painter.device()->logicalDpiY();
  auto rectOf = [&](const TQRPrintable& element) {
    return QRectF(target.left() + element.Left * scale, target.top() + element.Top * scale, element.Width * scale,
                  element.Height * scale);
  };
  painter.save();
  painter.setClipRect(target);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.fillRect(target, ColourOf(Color));
  std::size_t caption = 0;
  std::size_t picture = 0;
  for (const auto& element : Elements) {
    if (const auto* label = dynamic_cast<const TQRLabel*>(element.get())) {
      const QString text = AnsiToQString(contents.Captions.at(caption++));
      if (text.isEmpty()) continue;
      // The font's size in mm, whatever the device's resolution.
      QFont font = label->Font;
      font.setPointSizeF(label->Font.pointSizeF() * scale * 25.4 / dpi);
      const QFontMetricsF metrics(font, painter.device());
      QRectF box = rectOf(*label);
      box.setSize(QSizeF(metrics.horizontalAdvance(text), metrics.height()));
      box.setRight(std::min(box.right(), target.right()));
      if (!label->Transparent) painter.fillRect(box, ColourOf(label->Color));
      painter.setFont(font);
      painter.setPen(Qt::black);
      painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    } else if (dynamic_cast<const TQRImage*>(element.get())) {
      const QImage& image = contents.Pictures.at(picture++);
      if (!image.isNull()) painter.drawImage(rectOf(*element), image);
    } else if (const auto* shape = dynamic_cast<const TQRShape*>(element.get())) {
      const double width = std::max(1.0, kThinPenMm * scale);
      painter.setPen(QPen(ColourOf(shape->PenColor), width));
      painter.setBrush(Qt::NoBrush);
      const QRectF box = rectOf(*shape);
      if (shape->Shape == TQRShapeType::qrsRectangle)
        painter.drawRect(box.adjusted(width / 2, width / 2, -width / 2, -width / 2));
      else
        painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    }
  }
  painter.restore();
}

// ---- the report ----

TQuickRep::TQuickRep(QObject* parent) : QObject(parent), FBand(std::make_unique<TQRBand>(100, 50, &FCache)) {}

TQuickRep::~TQuickRep() = default;

void TQuickRep::SetBand(double width, double height) {
  FBand = std::make_unique<TQRBand>(width, height, &FCache);
}

namespace {

struct PageArea {
  double Width;
  double Height;
};

// The page as the chosen orientation turns it.
PageArea PageOf(const TQuickRep& report) {
  const bool landscape = report.PrinterSettings.Orientation == QPageLayout::Landscape;
  return landscape ? PageArea{report.PageHeight, report.PageWidth} : PageArea{report.PageWidth, report.PageHeight};
}

// The set-up's page range within a report of pages pages: the part of it that lies inside, or
// every page when none does (a range chosen for an earlier, longer report).
std::pair<int, int> PagesToPrint(const TQRPrinterSettings& settings, int pages) {
  const int from = std::max(1, settings.FromPage);
  const int to = settings.ToPage > 0 ? std::min(settings.ToPage, pages) : pages;
  if (from > to) return {1, pages};
  return {from, to};
}

}  // namespace

int TQuickRep::BandsPerPage() const {
  const double height = PageOf(*this).Height - TopMargin - BottomMargin;
  const int rows = std::max(1, static_cast<int>(height / FBand->Height));
  return rows * std::max(1, Columns);
}

QRectF TQuickRep::BandRect(int slot) const {
  // Across the columns first, then down.
  const int columns = std::max(1, Columns);
  const double columnWidth = (PageOf(*this).Width - LeftMargin - RightMargin - (columns - 1) * ColumnSpace) / columns;
  const int column = slot % columns;
  const int row = slot / columns;
  return {LeftMargin + column * (columnWidth + ColumnSpace), TopMargin + row * FBand->Height, FBand->Width,
          FBand->Height};
}

std::vector<TQRBand::TContents> TQuickRep::LayOut() {
  FCache.Clear();
  std::vector<TQRBand::TContents> bands;
  const std::size_t limit = static_cast<std::size_t>(MaxPages) * static_cast<std::size_t>(BandsPerPage());
  bool more = true;
  if (OnNeedData) OnNeedData(this, more);
  while (more && OnNeedData) {
    if (bands.size() >= limit) throw Exception(Format("The report has more than %d pages", MaxPages));
    bands.push_back(FBand->Contents());
    QCoreApplication::processEvents();
    more = false;
    OnNeedData(this, more);
  }
  return bands;
}

void TQuickRep::Print() {
  const auto clearPictures = qScopeGuard([this] { FCache.Clear(); });  // kept for this print only
  const std::vector<TQRBand::TContents> bands = LayOut();
  const int perPage = BandsPerPage();
  int pages =
      static_cast<int>((bands.size() + static_cast<std::size_t>(perPage) - 1) / static_cast<std::size_t>(perPage));
  if (pages == 0 && PrintIfEmpty) pages = 1;
  FPageCount = pages;
  const auto [from, to] = PagesToPrint(PrinterSettings, pages);

  QPrinter printer(QPrinter::HighResolution);
  if (!PrinterSettings.OutputFileName.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PrinterSettings.OutputFileName);
  } else {
    QString name = PrinterSettings.PrinterName;
    if (name.isEmpty()) name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull()) throw Exception("No printer is available");
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(name);
    if (!printer.isValid()) throw Exception("The printer cannot be used");
  }
  printer.setFullPage(true);
  printer.setPageLayout(QPageLayout(QPageSize(QSizeF(PageWidth, PageHeight), QPageSize::Millimeter),
                                    PrinterSettings.Orientation, QMarginsF(), QPageLayout::Millimeter));
  printer.setDuplex(PrinterSettings.Duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
  printer.setCopyCount(std::max(1, PrinterSettings.Copies));
  // Copies the printer cannot make are pages of their own.
  const int ownCopies = printer.supportsMultipleCopies() ? 1 : std::max(1, PrinterSettings.Copies);

  QPainter painter;
  if (!painter.begin(&printer)) throw Exception("The printer could not be opened");
  const double scale = printer.resolution() / 25.4;
  bool firstPage = true;
  for (int copy = 0; copy < ownCopies; ++copy) {
    for (int page = from; page <= to; ++page) {
      if (!firstPage && !printer.newPage()) {
        painter.end();
        throw Exception("The printer refused a page");
      }
      firstPage = false;
      const std::size_t begin = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(perPage);
      for (std::size_t band = begin; band < bands.size() && band < begin + static_cast<std::size_t>(perPage); ++band) {
        const QRectF mm = BandRect(static_cast<int>(band - begin));
        FBand->Paint(painter, QRectF(mm.left() * scale, mm.top() * scale, mm.width() * scale, mm.height() * scale),
                     bands[band]);
      }
      QCoreApplication::processEvents();
    }
  }
  if (!painter.end()) throw Exception("The printer could not finish the report");
}

void TQuickRep::PrinterSetup() {
  TQRPrinterSettings settings = PrinterSettings;
  const bool accepted = SetupHandler() ? SetupHandler()(settings, FPageCount) : ShowPrintDialog(settings, FPageCount);
  if (accepted) PrinterSettings = settings;
}
