#include "TapiDial.h"

#include <QFont>
#include <QListWidget>
#include <QPointer>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <cstring>

#include "CodePage.h"
#include "Dialogs.h"
#include "Forms.h"

namespace {

constexpr std::size_t kMaxNumberLength = 30;

struct TStatusWindowState {
  QPointer<QWidget> Form;
  QPointer<QListWidget> List;
  bool Exists = false;
};

// State shared by every dialer: the line callback knows no dialer.
TStatusWindowState StatusState;
AnsiString LastStatus;
TLanguage CallbackLanguage = TLanguage::english;
AnsiString CallbackNumber;
DWORD NegotiatedVersion = 0;
alignas(LINECALLINFO) unsigned char CallInfoBuffer[1024];

const char* Choose(TLanguage language, const char* english, const char* croatian) {
  return language == TLanguage::croatian ? croatian : english;
}

void Post(const AnsiString& text) {
  LastStatus = text;
  AddStatus(text);
}

// A text of the dialer for a message box, which takes the program's own code page.
AnsiString BoxText(const char* text) {
  return QStringToAnsi(DialerTextToQString(text)).value_or(AnsiString(text));
}

}  // namespace

QString DialerTextToQString(std::string_view text) {
  QStringDecoder decoder("windows-1250");
  QString decoded = decoder.isValid() ? decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())))
                                      : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return decoded;
}

const AnsiString& LastStatusText() {
  return LastStatus;
}

QWidget* StatusWindowForm() {
  return StatusState.Exists ? StatusState.Form.data() : nullptr;
}

QListWidget* StatusWindowList() {
  return StatusState.Exists ? StatusState.List.data() : nullptr;
}

void CreateStatusWindow() {
  if (StatusState.Exists) return;
  auto* form =
      new QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  form->setWindowTitle(CallbackLanguage == TLanguage::croatian ? QStringLiteral("Status Linije")
                                                               : QStringLiteral("Dial Stauts"));
  form->move(527, 419);
  form->resize(230, 100);
  auto* list = new QListWidget(form);
  list->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setSortingEnabled(false);
  auto* layout = new QVBoxLayout(form);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list);
  StatusState.Form = form;
  StatusState.List = list;
  StatusState.Exists = true;
}

void CloseStatusWindow() {
  if (StatusState.Form) StatusState.Form->deleteLater();
  StatusState = TStatusWindowState{};
}

void AddStatus(const AnsiString& Text) {
  if (!StatusState.Exists || !StatusState.List) return;
  StatusState.List->addItem(DialerTextToQString("-> " + Text));
  StatusState.List->setCurrentRow(StatusState.List->count() - 1);
}

TTapiDial::TTapiDial(QObject* AOwner) : TComponent(nullptr) {
  setParent(AOwner);  // the owner's components, in order
  auto* form = dynamic_cast<TForm*>(AOwner);
  if (!form) throw Exception("Please drop the component onto a Form!");
  for (QObject* component : AOwner->children())
    if (component != this && dynamic_cast<TTapiDial*>(component))
      throw Exception("There is TTApiDial component already on this form");
  FOwnerWindow = form;
  FTelephonNo = "9865";
  FCallDialog = TCallDialog::None;
  CreateStatusWindow();
  FStatusWindow = true;
  StatusState.Exists = true;
  InitTapi();
  FLanguage = TLanguage::english;
}

TTapiDial::~TTapiDial() {
  // The status window stays with the application.
  FStatusWindow = false;
  StatusState.Exists = false;
  ShutdownTapi();
}

void TTapiDial::PostText(const char* english, const char* croatian) const {
  Post(Choose(FLanguage, english, croatian));
}

void TTapiDial::SetTelephonNo(const AnsiString& Value) {
  if (Value != FTelephonNo) FTelephonNo = Value;
  CallbackNumber = FTelephonNo;
}

void TTapiDial::SetCallDialog(TCallDialog Value) {
  if (Value == FCallDialog) return;
  FCallDialog = Value;
  Post(AnsiString(Choose(FLanguage, "Call dialog set to: ", "Dijalog za poziv je promjenjen u: ")) +
       (Value == TCallDialog::None ? "None" : "Win95"));
  ShutdownTapi();
  InitTapi();
}

void TTapiDial::SetStatusWindow(bool Value) {
  if (Value == FStatusWindow) return;
  FStatusWindow = Value;
  if (Value) {
    CreateStatusWindow();
    StatusState.Form->show();
  } else if (StatusState.Exists) {
    CloseStatusWindow();
  }
}

void TTapiDial::SetLanguage(TLanguage Value) {
  if (Value != FLanguage) FLanguage = Value;
  CallbackLanguage = FLanguage;
}

void TTapiDial::InitTapi() {
  PostText("Initializing TAPI", "Inicijaliziram TAPI");
  FCallParams = LINECALLPARAMS{};
  FCallParams.dwTotalSize = sizeof(LINECALLPARAMS);
  FCallParams.dwBearerMode = LINEBEARERMODE_VOICE;
  FCallParams.dwMediaMode =
      FCallDialog == TCallDialog::Win95 ? LINEMEDIAMODE_INTERACTIVEVOICE : LINEMEDIAMODE_DATAMODEM;
  [&] {
    DWORD devices = 0;
    if (lineInitialize(&FLineApp, nullptr, LineCallback, nullptr, &devices) < 0) {
      FLineApp = 0;
      return;
    }
    if (devices == 0) {
      lineShutdown(FLineApp);
      FLineApp = 0;
      PostText("No TAPI devices",
               "Nemate instaliranih TAPI ure\xF0"
               "aja");
      return;
    }
    LINEEXTENSIONID extension{};
    if (lineNegotiateAPIVersion(FLineApp, 0, 0x00010004, 0x00020000, &NegotiatedVersion, &extension) < 0) {
      lineShutdown(FLineApp);
      FLineApp = 0;
      PostText("Error in lineNegotiateAPIVersion", "Nemate potrebnu TAPI verziju");
      return;
    }
    if (lineOpen(FLineApp, LINEMAPPER, &FLine, NegotiatedVersion, 0, 0, LINECALLPRIVILEGE_NONE, 0, &FCallParams) < 0) {
      lineShutdown(FLineApp);
      FLineApp = 0;
      FLine = 0;
      PostText("Error in LineOpen",
               "Gre\x9A"
               "ka u otvaranju linije");
      return;
    }
  }();
  if (FLine == 0) {
    PostText("Error!!",
             "Gre\x9A"
             "ka, nema linija");
    return;
  }
  if (FLineApp != 0)
    PostText("TAPI successfully initialized",
             "TAPI je uspje\x9A"
             "no inicijaliziran");
}

void TTapiDial::ShutdownTapi() {
  if (FLine != 0) lineClose(FLine);
  if (FLineApp != 0) lineShutdown(FLineApp);
  PostText("TAPI terminated",
           "Zavr\x9A"
           "ili smo sa TAPI-jem.");
}

void TTapiDial::Dial() {
  if (FTelephonNo.empty()) return;
  LONG result = LINEERR_INVALADDRESS;  // a longer number is refused, never cut
  if (FTelephonNo.size() <= kMaxNumberLength) {
    char number[kMaxNumberLength + 1] = {};
    std::memcpy(number, FTelephonNo.data(), FTelephonNo.size());
    result = lineMakeCall(FLine, &FCall, number, 0, &FCallParams);
  }
  if (result < 0) {
    PostText("Error in lineMakeCall",
             "Gre\x9A"
             "ka u zvanju");
    if (result == LINEERR_REINIT) return;  // the program is ending: nobody is there to answer a box
    MessageBoxA(FOwnerWindow,
                BoxText(Choose(FLanguage, "Error during dialing?!",
                               "Gre\x9A"
                               "ka u zvanju")),
                ApplicationTitle(), MB_OK);
    return;
  }
  if (FCallDialog != TCallDialog::None) return;
  const AnsiString text = BoxText(Choose(FLanguage, "HangUp?",
                                         "Kada zavr\x9A"
                                         "ite razgovor, pritisnite dugme da prekinete vezu."));
  if (MessageBoxA(FOwnerWindow, text, "Talking to " + FTelephonNo, MB_OK) == IDOK) HangUp();
}

void TTapiDial::HangUp() {
  if (lineDrop(FCall, nullptr, 0) < 0)
    PostText("Error in lineDrop",
             "Gre\x9A"
             "ka u zatvaranju linije.");
  else
    PostText("Line Dropped", "Linija je zatvorena.");
}

LONG TTapiDial::ConfigDialog() {
  return lineConfigDialog(0, FOwnerWindow, "comm/datamodem");
}

void LineCallback(DWORD hDevice, DWORD dwMessage, DWORD, DWORD dwParam1, DWORD dwParam2, DWORD) {
  const TLanguage language = CallbackLanguage;
  auto text = [language](const char* english, const char* croatian) {
    return AnsiString(Choose(language, english, croatian));
  };
  if (dwMessage == LINE_REPLY) {
    Post(static_cast<LONG>(dwParam2) < 0 ? text("Reply error", "Linija nije odgovorila") : "LINE_REPLY ok");
    return;
  }
  if (dwMessage != LINE_CALLSTATE) return;
  const HCALL call = hDevice;
  switch (dwParam1) {
    case LINECALLSTATE_IDLE:
      if (call != 0) {
        lineDeallocateCall(call);
        Post(text("Idle - call deallocated",
                  "Poziv je odba\xE8"
                  "en"));
      }
      break;
    case LINECALLSTATE_DIALING:
      Post(text("Dialing: ", "Zovem: ") + CallbackNumber);
      break;
    case LINECALLSTATE_BUSY:
      Post(text("Busy", "Linija je zauzeta"));
      break;
    case LINECALLSTATE_CONNECTED:
      if (call != 0) {
        AnsiString connected = text("Connected: ", "Veza je uspostavljena: ") + CallbackNumber + " ";
        auto* info = reinterpret_cast<LINECALLINFO*>(CallInfoBuffer);
        info->dwTotalSize = sizeof(CallInfoBuffer);
        if (lineGetCallInfo(call, info) == 0 && info->dwAppNameSize > 0 &&
            info->dwAppNameOffset < sizeof(CallInfoBuffer)) {
          const char* name = reinterpret_cast<const char*>(CallInfoBuffer) + info->dwAppNameOffset;
          connected += AnsiString(name, strnlen(name, sizeof(CallInfoBuffer) - info->dwAppNameOffset));
        }
        Post(connected);
      }
      break;
    case LINECALLSTATE_PROCEEDING:
      Post(text("Proceeding", "Nastavljam"));
      break;
    case LINECALLSTATE_DISCONNECTED: {
      AnsiString reason;
      if (dwParam2 == LINEDISCONNECTMODE_NORMAL) reason = text("normal", "normalno");
      if (dwParam2 == LINEDISCONNECTMODE_BUSY)
        reason = text("busy",
                      " zbog zauze\xE6"
                      "a");
      Post(text("Disconnected: ",
                "Linija je isklju\xE8"
                "ena: ") +
           reason);
      break;
    }
    default:
      break;
  }
}
