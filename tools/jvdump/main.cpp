// sorvix-jvdump: exports JV-Data from JRA-VAN's JV-Link on Windows into a
// feed folder that Sorvix on Linux acquires from.
//
//   sorvix-jvdump --out DIR [--setup] [--from yyyymmdd[hhnnss]] [--sid ID]
//   sorvix-jvdump --out DIR --realtime yyyymmdd [--sid ID]
//
// The software id for JVInit comes from --sid, else from [JVLink]
// SoftwareId in sorvix-jvdump.ini beside the program, else Sorvix's own.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "app/startup_checks.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"
#include "tools/jvdump/dispatch_jv_link.h"
#include "tools/jvdump/export_run.h"

namespace sorvix::jvdump {
namespace {

// The CP932 bytes of a message written in UTF-8.
std::string Sj(std::string_view utf8) {
  return Cp932(utf8).bytes();
}

std::atomic<bool> cancelled{false};

void Say(const char* utf8) {
  std::string text = Sj(utf8);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
}

// Ctrl+C asks the run to stop between two calls of the component.  While a
// call blocks (JVOpen behind one of the component's dialogs), a second
// Ctrl+C, Ctrl+Break or closing the console ends the program at once: no
// file has its final name before the run completes, so nothing is kept.
BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type == CTRL_C_EVENT && !cancelled.exchange(true)) {
    Say("\r\n中止します。JV-Link の処理の終わりを待っています（もう一度 Ctrl+C "
        "で直ちに終了します）。\r\n");
    return TRUE;
  }
  Say("\r\nJVCancel:キャンセルされました\r\n");
  TerminateProcess(GetCurrentProcess(), kExitCancelled);
  return TRUE;
}

// Texts on the console in its own characters; redirected output gets the
// CP932 bytes unchanged.
class ConsoleReporter : public ExportReporter {
 public:
  ConsoleReporter() : err_(GetStdHandle(STD_ERROR_HANDLE)) {
    DWORD mode = 0;
    console_ = GetConsoleMode(err_, &mode) != 0;
  }
  ~ConsoleReporter() override { EndProgress(); }

  void Line(const std::string& text) override {
    EndProgress();
    Write(text + "\r\n");
  }
  void Wait() override {
    DWORD until = GetTickCount() + 10;
    for (DWORD now = GetTickCount(); static_cast<LONG>(until - now) > 0; now = GetTickCount()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, until - now, QS_ALLINPUT);
      Pump();
    }
  }
  void Pump() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  void Progress(const std::string& text) override {
    if (text == last_) return;
    last_ = text;
    if (console_) {
      Write("\r" + text + "   ");
      open_ = true;
    } else {
      Write(text + "\r\n");
    }
  }

 private:
  void EndProgress() {
    if (open_) Write("\r\n");
    open_ = false;
  }
  void Write(const std::string& bytes) {
    DWORD written = 0;
    if (console_) {
      int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
      std::wstring wide(static_cast<size_t>(n), L'\0');
      MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
      WriteConsoleW(err_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
      WriteFile(err_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
  }

  HANDLE err_;
  bool console_ = false;
  bool open_ = false;
  std::string last_;
};

bool AllDigits(const std::wstring& text) {
  return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::string Ascii(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

// The software id of sorvix-jvdump.ini beside the program, or empty.
std::string IniSoftwareId() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "";
  std::wstring ini(path, n);
  ini = ini.substr(0, ini.find_last_of(L"\\/") + 1) + L"sorvix-jvdump.ini";
  wchar_t value[256];
  DWORD length = GetPrivateProfileStringW(L"JVLink", L"SoftwareId", L"", value, 256, ini.c_str());
  int bytes =
      WideCharToMultiByte(932, 0, value, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(932, 0, value, static_cast<int>(length), out.data(), bytes, nullptr, nullptr);
  return out;
}

// The owner of the component's dialogs: the console's window, else the
// window in front.
HWND DialogParent() {
  HWND console = GetConsoleWindow();
  return console ? console : GetForegroundWindow();
}

int Usage(ExportReporter& reporter, const char* problem) {
  if (*problem) reporter.Line(Sj("sorvix-jvdump: ") + Sj(problem));
  reporter.Line(Sj(
      "使い方: sorvix-jvdump --out フォルダ [--setup] [--from yyyymmdd[hhnnss]] [--sid ID]\r\n"
      "        sorvix-jvdump --out フォルダ --realtime yyyymmdd [--sid ID]\r\n"
      "        sorvix-jvdump --ui-properties [--sid ID]\r\n"
      "JV-Link の JV-Data をフォルダに書き出します。--from がなければ前回の続きから取得します。\r\n"
      "--ui-properties は JV-Link の設定画面（JVSetUIProperties）を開きます。\r\n"
      "--sid は JVInit に渡すソフトウェア ID です（既定: sorvix-jvdump.ini の [JVLink] "
      "SoftwareId、なければ Sorvix のもの）。\r\n"
      "JV-Link 4 は 32 ビット版の sorvix-jvdump.exe、64 ビットの JV-Link 5.0 は "
      "sorvix-jvdump64.exe で使います。"));
  return *problem ? kExitUsage : kExitOk;
}

// JVSetUIProperties: the component's own settings dialog, after JVInit.
int ShowUiProperties(JvLink& link, const ExportOptions& options, ExportReporter& reporter) {
  int init = link.JVInit(options.sid.empty() ? kSoftwareId : options.sid);
  if (init != 0) {
    reporter.Line(Sj("sorvix-jvdump: JVInitエラー:") + JvResultMessage("JVInit", init).bytes());
    return kExitFailed;
  }
  int result = link.JVSetUIProperties();
  if (result != 0) {
    reporter.Line(Sj("sorvix-jvdump: JVSetUIPropertiesエラー:") +
                  JvResultMessage("JVSetUIProperties", result).bytes());
    return kExitFailed;
  }
  reporter.Line(Sj("JV-Link の設定画面を閉じました。"));
  return kExitOk;
}

// Creates the component and runs the export with it (or its settings
// dialog).
int Export(const ExportOptions& options, bool uiProperties, ConsoleReporter& reporter) {
  HRESULT hr;
  IDispatch* dispatch = DispatchJvLink::Create(hr);
  if (!dispatch) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(hr));
    int other = DispatchJvLink::OtherBitnessRegistered();
    if (other == 32)
      reporter.Line(Sj("sorvix-jvdump: JV-Link は 32 ビット用に登録されています。32 ビット版の "
                       "sorvix-jvdump.exe を使ってください。(") +
                    number + ")");
    else if (other == 64)
      reporter.Line(Sj("sorvix-jvdump: JV-Link は 64 ビット用に登録されています。64 ビット版の "
                       "sorvix-jvdump64.exe を使ってください。(") +
                    number + ")");
    else
      reporter.Line(Sj("sorvix-jvdump: JV-Link（JVDTLab.JVLink）を作成できません。JV-Link "
                       "がインストールされているか確かめてください。(") +
                    number + ")");
    return kExitFailed;
  }
  DispatchJvLink link(dispatch, reporter);
  link.SetParentWindow(DialogParent());
  if (uiProperties) return ShowUiProperties(link, options, reporter);
  return RunExport(link, link, options, reporter, cancelled);
}

int Run(int argc, wchar_t** argv) {
  ConsoleReporter reporter;
  ExportOptions options;
  bool uiProperties = false;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    auto value = [&]() -> std::wstring { return i + 1 < argc ? argv[++i] : L""; };
    if (arg == L"--out") {
      options.out = value();
    } else if (arg == L"--setup") {
      options.setup = true;
    } else if (arg == L"--from") {
      std::wstring from = value();
      if (!AllDigits(from) || (from.size() != 8 && from.size() != 14))
        return Usage(reporter, "--from は yyyymmdd か yyyymmddhhnnss で指定してください。");
      options.from = Ascii(from) + (from.size() == 8 ? "000000" : "");
    } else if (arg == L"--realtime") {
      std::wstring day = value();
      if (!AllDigits(day) || day.size() != 8)
        return Usage(reporter, "--realtime は yyyymmdd で指定してください。");
      options.realtime = Ascii(day);
    } else if (arg == L"--sid") {
      std::wstring sid = value();
      if (sid.empty()) return Usage(reporter, "--sid にソフトウェア ID を指定してください。");
      int bytes = WideCharToMultiByte(932, 0, sid.data(), static_cast<int>(sid.size()), nullptr, 0,
                                      nullptr, nullptr);
      options.sid.assign(static_cast<size_t>(bytes), '\0');
      WideCharToMultiByte(932, 0, sid.data(), static_cast<int>(sid.size()), options.sid.data(),
                          bytes, nullptr, nullptr);
    } else if (arg == L"--ui-properties") {
      uiProperties = true;
    } else if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
      return Usage(reporter, "");
    } else {
      return Usage(reporter, "知らない引数です。");
    }
  }
  if (options.out.empty() && !uiProperties)
    return Usage(reporter, "--out で出力フォルダを指定してください。");
  if (!options.realtime.empty() && (options.setup || !options.from.empty()))
    return Usage(reporter, "--realtime は --setup, --from と一緒に使えません。");

  if (options.sid.empty()) options.sid = IniSoftwareId();

  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) {
    reporter.Line(Sj("sorvix-jvdump: COM を初期化できません。"));
    return kExitFailed;
  }
  int code = Export(options, uiProperties, reporter);
  CoUninitialize();
  return code;
}

}  // namespace
}  // namespace sorvix::jvdump

int wmain(int argc, wchar_t** argv) {
  return sorvix::jvdump::Run(argc, argv);
}
