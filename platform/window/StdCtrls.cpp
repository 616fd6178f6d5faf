#include "StdCtrls.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "CodePage.h"
#include "Dialogs.h"
#include "Forms.h"

namespace {

constexpr std::string_view kLostTextNotice =
    "The pasted text held characters that the address book cannot store. Each of them is shown as \"?\".";

// Where after differs from before: the run of after that replaced the rest of before.
struct TInsertedRun {
  qsizetype Start = 0;
  qsizetype Length = 0;
};

TInsertedRun InsertedRun(const QString& before, const QString& after) {
  qsizetype prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  // A character of two UTF-16 units is never cut in half.
  if (prefix > 0 && after[prefix - 1].isHighSurrogate()) --prefix;
  if (suffix > 0 && after[after.size() - suffix].isLowSurrogate()) --suffix;
  return {prefix, after.size() - prefix - suffix};
}

enum class TFit { Kept, Replaced, Refused };

struct TFittedText {
  TFit Fit = TFit::Kept;
  QString Text;          // with each character lost as "?"
  bool Several = false;  // more than one character came in
};

// The rule for a run of text that came into an edit.
TFittedText FitIncomingText(QStringView run, std::string_view refused) {
  TFittedText result;
  qsizetype characters = 0;
  bool lost = false;
  for (qsizetype i = 0; i < run.size();) {
    const qsizetype length = run[i].isHighSurrogate() && i + 1 < run.size() ? 2 : 1;
    const QStringView character = run.mid(i, length);
    const std::optional<AnsiString> bytes = QStringToAnsi(character.toString());
    if (bytes && bytes->find_first_of(refused) == AnsiString::npos) {
      result.Text += character;
    } else {
      result.Text += u'?';
      lost = true;
      if (bytes) result.Fit = TFit::Refused;  // the code page holds it: refused, not lost
    }
    ++characters;
    i += length;
  }
  result.Several = characters > 1;
  if (!lost)
    result.Fit = TFit::Kept;
  else if (result.Several || result.Fit != TFit::Refused)
    result.Fit = TFit::Replaced;
  return result;
}

// Tells the user once the change is over, so that the box never opens inside an edit's change.
void TellOfLostText(QObject* edit) {
  QTimer::singleShot(0, edit, [] { ShowMessage(kLostTextNotice); });
}

}  // namespace

// Every change of the edit's text passes here, the user's and the program's.
class TEdit::TInput final : public QValidator {
 public:
  explicit TInput(TEdit* edit) : QValidator(edit), Edit(edit) {}

  State validate(QString& input, int& position) const override {
    const TInsertedRun run = InsertedRun(Edit->FShownText, input);
    const TFittedText fitted = FitIncomingText(QStringView(input).mid(run.Start, run.Length), Edit->FRefusedChars);
    if (fitted.Fit == TFit::Refused) return Invalid;
    if (fitted.Fit == TFit::Replaced) {
      const qsizetype end = run.Start + run.Length;
      input = input.left(run.Start) + fitted.Text + input.mid(end);
      if (position >= end)
        position += static_cast<int>(fitted.Text.size() - run.Length);
      else if (position > run.Start)
        position = static_cast<int>(run.Start + fitted.Text.size());
      if (fitted.Several && Edit->ShowsLostText()) TellOfLostText(Edit);
    }
    return Edit->CheckInput(input, position);
  }

 private:
  TEdit* Edit;
};

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new TInput(this));
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { FShownText = text; });
}

void TEdit::setText(const QString& text) {
  QLineEdit::setText(text);
  setCursorPosition(0);
}

QValidator::State TEdit::CheckInput(QString&, int&) const {
  return QValidator::Acceptable;
}

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
  connect(this, &QPlainTextEdit::textChanged, this, [this] { TextChanged(); });
}

void TMemo::TextChanged() {
  const QString text = toPlainText();
  const TInsertedRun run = InsertedRun(FShownText, text);
  const TFittedText fitted = FitIncomingText(QStringView(text).mid(run.Start, run.Length), FRefusedChars);
  if (fitted.Fit == TFit::Kept) {
    FShownText = text;
    return;
  }
  // One step with the change, for the memo's own undo; the change of the text comes back here.
  QTextCursor cursor(document());
  cursor.joinPreviousEditBlock();
  cursor.setPosition(static_cast<int>(run.Start));
  cursor.setPosition(static_cast<int>(run.Start + run.Length), QTextCursor::KeepAnchor);
  if (fitted.Fit == TFit::Refused)
    cursor.removeSelectedText();
  else
    cursor.insertText(fitted.Text);
  cursor.endEditBlock();
  if (fitted.Fit == TFit::Replaced && fitted.Several) TellOfLostText(this);
}

// The items' text lies in one buffer, each row a span of it: a long list is filled, sorted and
// cleared without an allocation per item.
class TListBox::TItems final : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  [[nodiscard]] int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(Rows.size());
  }

  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(Rows.size())) return {};
    return AnsiToQString(Text(Rows[static_cast<std::size_t>(index.row())]));
  }

  [[nodiscard]] std::string_view Text(TSpan span) const {
    return std::string_view(Bytes).substr(span.Offset, span.Size);
  }

  // Keeps the text of an item that is not a row yet.
  TSpan Keep(std::string_view item, int object) {
    item = item.substr(0, std::numeric_limits<std::uint32_t>::max());
    const TSpan span{Bytes.size(), static_cast<std::uint32_t>(item.size()), object};
    Bytes += item;
    return span;
  }

  void Reset(std::vector<TSpan> rows) {
    beginResetModel();
    Rows = std::move(rows);
    endResetModel();
  }

  void Clear() {
    Reset({});
    Bytes = {};
  }

  int Insert(int row, TSpan span) {
    beginInsertRows({}, row, row);
    Rows.insert(Rows.begin() + row, span);
    endInsertRows();
    return row;
  }

  // The rows in the locale's order, case ignored; equal items keep their order.
  void Sort(std::vector<TSpan>& rows) const {
    std::vector<std::string_view> views;
    views.reserve(rows.size());
    for (TSpan span : rows) views.push_back(Text(span));
    std::vector<TSpan> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : CaselessOrder(views)) sorted.push_back(rows[i]);
    rows = std::move(sorted);
  }

  std::vector<TSpan> Rows;

 private:
  std::string Bytes;
};

TListBox::TListBox(QWidget* parent) : QListView(parent), FItems(new TItems(this)) {
  setModel(FItems);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
}

TListBox::~TListBox() = default;

void TListBox::SetSorted(bool sorted) {
  FSorted = sorted;
  if (sorted) {
    std::vector<TSpan> rows = FItems->Rows;
    FItems->Sort(rows);
    FItems->Reset(std::move(rows));
  }
}

int TListBox::Add(std::string_view item) {
  return AddObject(item, 0);
}

int TListBox::AddObject(std::string_view item, int object) {
  const TSpan span = FItems->Keep(item, object);
  if (FUpdating > 0) {
    FPending.push_back(span);
    return Count() + static_cast<int>(FPending.size()) - 1;
  }
  int row = Count();
  if (FSorted) {
    // After every item that does not sort behind the new one.
    const auto& rows = FItems->Rows;
    row = static_cast<int>(
        std::upper_bound(rows.begin(), rows.end(), span,
                         [this](TSpan a, TSpan b) { return AnsiCompareText(FItems->Text(a), FItems->Text(b)) < 0; }) -
        rows.begin());
  }
  return FItems->Insert(row, span);
}

void TListBox::Clear() {
  FPending.clear();
  FItems->Clear();
}

void TListBox::BeginUpdate() {
  ++FUpdating;
}

void TListBox::EndUpdate() {
  FinishUpdate(FSorted);
}

void TListBox::EndUpdateInOrder() {
  FinishUpdate(false);
}

void TListBox::FinishUpdate(bool sort) {
  if (FUpdating == 0 || --FUpdating > 0) return;
  std::vector<TSpan> rows = FItems->Rows;
  rows.insert(rows.end(), FPending.begin(), FPending.end());
  FPending.clear();
  if (sort) FItems->Sort(rows);
  FItems->Reset(std::move(rows));
}

int TListBox::Count() const {
  return static_cast<int>(FItems->Rows.size());
}

std::string_view TListBox::Items(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  return FItems->Text(FItems->Rows[static_cast<std::size_t>(index)]);
}

int TListBox::Objects(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  return FItems->Rows[static_cast<std::size_t>(index)].Object;
}

int TListBox::ItemIndex() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void TListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex item = FItems->index(index);
  selectionModel()->select(item, QItemSelectionModel::ClearAndSelect);
  setCurrentIndex(item);
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  if (OnDblClick) OnDblClick(this);
}

void TListBox::keyPressEvent(QKeyEvent* event) {
  char key = KeyPressCharOf(*event);
  if (key != 0 && OnKeyPress) {
    OnKeyPress(this, key);
    if (key == 0) return;
  }
  QListView::keyPressEvent(event);
}
