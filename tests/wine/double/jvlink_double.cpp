// A stand-in for JRA-VAN's JV-Link component, for tests under Wine: an
// in-process COM server registered as "JVDTLab.JVLink" that serves the feed
// folder "JVLink" beside the DLL with FeedJvLink, including its fault.ini.
// Calls come through type information built from the component's
// documented signatures (jvlink_type_info.h) and are dispatched by
// ITypeInfo::Invoke, so the system coerces, accepts or refuses arguments as
// it does for the component.  Records cross as the component hands them
// over: JVRead as wide text converted with the process's default code page,
// JVGets as bytes in a VARIANT, both cut to the caller's size.
//
// Environment (read when the object is created):
//   JVLINK_DOUBLE_NO_GETS=1        no JVGets (as in an older component)
//   JVLINK_DOUBLE_GETS_DROP_FIRST=1  the first record asked for through
//                                  JVGets is taken but not handed over, as
//                                  when the caller's form of the buffer
//                                  does not reach the component
//   JVLINK_DOUBLE_READ_DELAY_MS=N  wait N ms before each record
//   JVLINK_DOUBLE_OPEN_BLOCK_MS=N  JVOpen and JVRTOpen block N ms in a
//                                  message loop, as behind a dialog
//   JVLINK_DOUBLE_FOREIGN_CHAR_AT=N  the N-th record through JVRead carries
//                                  a character that CP932 does not have
//   JVLINK_DOUBLE_REFUSE=NAME      every call of the member NAME fails with
//                                  DISP_E_EXCEPTION
//   JVLINK_DOUBLE_DAMAGED=FILE     the cached file FILE is damaged (−403
//                                  on reading it) until JVFiledelete(FILE);
//                                  the deletion is remembered beside the DLL
//   JVLINK_DOUBLE_DAMAGED_STAYS=1  ... and stays damaged after it
//   JVLINK_DOUBLE_LOG=PATH         every call appended to PATH, a line each
#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>

#include "acquisition/feed_jv_link.h"
#include "app/program_folder.h"
#include "tests/wine/double/jvlink_type_info.h"

HMODULE jvlink_double_module = nullptr;

namespace {

// {6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}
const CLSID kClsid = {0x6a1c3e52, 0x8b0d, 0x4f3a, {0x9c, 0x2e, 0x5d, 0x7b, 0x1a, 0x0f, 0x4e, 0x21}};
const wchar_t kClsidText[] = L"{6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}";
const wchar_t kProgId[] = L"JVDTLab.JVLink";

std::atomic<long> objects{0};
std::atomic<long> locks{0};

const wchar_t* const kMemberNames[] = {L"JVInit",       L"JVSetUIProperties",
                                       L"JVOpen",       L"JVRTOpen",
                                       L"JVStatus",     L"JVRead",
                                       L"JVGets",       L"JVSkip",
                                       L"JVCancel",     L"JVClose",
                                       L"JVFiledelete", L"m_JVLinkVersion",
                                       L"ParentHWnd"};
const MEMBERID kMemberIds[] = {
    kJVInit, kJVSetUIProperties, kJVOpen,  kJVRTOpen,     kJVStatus, kJVRead,    kJVGets,
    kJVSkip, kJVCancel,          kJVClose, kJVFiledelete, kVersion,  kParentHWnd};

std::wstring Environment(const wchar_t* name) {
  wchar_t value[512];
  DWORD n = GetEnvironmentVariableW(name, value, 512);
  return n > 0 && n < 512 ? std::wstring(value, n) : std::wstring();
}

int EnvironmentNumber(const wchar_t* name) {
  return _wtoi(Environment(name).c_str());
}

// The component's text conversion: the process's default code page.
std::string Narrow(const wchar_t* text, int length) {
  int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

std::string Narrow(BSTR text) {
  return text ? Narrow(text, static_cast<int>(SysStringLen(text))) : "";
}

BSTR Wide(const std::string& bytes) {
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out, n);
  return out;
}

std::string Utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// Where the double remembers the cached files deleted through JVFiledelete.
std::filesystem::path DeletedMark(const std::string& fileName) {
  return sorvix::ProgramFolder::Get() / ("deleted-" + fileName);
}

class JvLinkDouble : public IJVLink {
 public:
  explicit JvLinkDouble(ITypeInfo* info)
      : info_(info),
        gets_(EnvironmentNumber(L"JVLINK_DOUBLE_NO_GETS") != 1),
        drop_first_(EnvironmentNumber(L"JVLINK_DOUBLE_GETS_DROP_FIRST") == 1),
        delay_(EnvironmentNumber(L"JVLINK_DOUBLE_READ_DELAY_MS")),
        block_(EnvironmentNumber(L"JVLINK_DOUBLE_OPEN_BLOCK_MS")),
        foreign_at_(EnvironmentNumber(L"JVLINK_DOUBLE_FOREIGN_CHAR_AT")),
        damaged_(Utf8(Environment(L"JVLINK_DOUBLE_DAMAGED"))),
        damaged_stays_(EnvironmentNumber(L"JVLINK_DOUBLE_DAMAGED_STAYS") == 1),
        log_(Environment(L"JVLINK_DOUBLE_LOG")) {
    std::wstring refused = Environment(L"JVLINK_DOUBLE_REFUSE");
    for (size_t i = 0; i < std::size(kMemberNames); ++i)
      if (!refused.empty() && _wcsicmp(refused.c_str(), kMemberNames[i]) == 0)
        refuse_ = kMemberIds[i];
    ++objects;
  }
  virtual ~JvLinkDouble() {
    info_->Release();
    --objects;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (index != 0) return DISP_E_BADINDEX;
    info_->AddRef();
    *out = info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!gets_ && count > 0 && _wcsicmp(names[0], L"JVGets") == 0) {
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    return DispGetIDsOfNames(info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    if (id == refuse_) return DISP_E_EXCEPTION;
    if (id == kJVGets && !gets_) return DISP_E_MEMBERNOTFOUND;
    return DispInvoke(static_cast<IJVLink*>(this), info_, id, flags, params, result, exception,
                      argError);
  }

  HRESULT STDMETHODCALLTYPE JVInit(BSTR sid, LONG* result) override {
    Log("JVInit " + Narrow(sid));
    *result = link_.JVInit(Narrow(sid));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVSetUIProperties(LONG* result) override {
    Log("JVSetUIProperties");
    *result = link_.JVSetUIProperties();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVOpen(BSTR dataspec, BSTR fromtime, LONG option, LONG* readcount,
                                   LONG* downloadcount, BSTR* lastfiletimestamp,
                                   LONG* result) override {
    Log("JVOpen " + Narrow(dataspec) + " " + Narrow(fromtime) + " " + std::to_string(option));
    Block();
    int reads = 0, downloads = 0;
    std::string stamp;
    *result = link_.JVOpen(Narrow(dataspec), Narrow(fromtime), option, reads, downloads, stamp);
    *readcount = reads;
    *downloadcount = downloads;
    SysFreeString(*lastfiletimestamp);
    *lastfiletimestamp = Wide(stamp);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVRTOpen(BSTR dataspec, BSTR key, LONG* result) override {
    Log("JVRTOpen " + Narrow(dataspec) + " " + Narrow(key));
    Block();
    *result = link_.JVRTOpen(Narrow(dataspec), Narrow(key));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVStatus(LONG* result) override {
    *result = link_.JVStatus();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVRead(BSTR* buff, LONG* size, BSTR* filename, LONG* result) override {
    if (reads_++ == 0)
      Log("JVRead buff=" + std::to_string(*buff ? SysStringLen(*buff) : 0) +
          " size=" + std::to_string(*size));
    std::string record;
    *result = Next(record, *size, filename);
    // The component frees the caller's buffer and hands over one of its own.
    SysFreeString(*buff);
    *buff = Wide(*result > 0 ? record : "");
    // "é" in place of the data kind (position 3).
    if (*result > 0 && ++sent_ == foreign_at_ && SysStringLen(*buff) > 3) (*buff)[2] = 0xE9;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVGets(VARIANT* buff, LONG size, BSTR* filename,
                                   LONG* result) override {
    if (reads_++ == 0) Log("JVGets size=" + std::to_string(size));
    std::string record;
    *result = Next(record, size, filename);
    if (*result > 0 && drop_first_) {
      drop_first_ = false;
      Log("JVGets dropped a record");
      return S_OK;
    }
    // A cut record ends with the NUL of the caller's buffer.
    if (*result > 0 && (record.size() < 2 || record.compare(record.size() - 2, 2, "\r\n") != 0))
      record += '\0';
    VariantClear(buff);
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(record.size()));
    void* data = nullptr;
    if (bytes && SUCCEEDED(SafeArrayAccessData(bytes, &data))) {
      memcpy(data, record.data(), record.size());
      SafeArrayUnaccessData(bytes);
    }
    buff->vt = VT_ARRAY | VT_UI1;
    buff->parray = bytes;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVSkip() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE JVCancel() override {
    Log("JVCancel");
    link_.JVCancel();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVClose(LONG* result) override {
    Log("JVClose");
    *result = link_.JVClose();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JVFiledelete(BSTR filename, LONG* result) override {
    std::string name = Narrow(filename);
    Log("JVFiledelete " + name);
    if (!damaged_.empty() && name == damaged_) std::ofstream(DeletedMark(name)) << "deleted\n";
    *result = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_m_JVLinkVersion(BSTR* version) override {
    // The 64-bit component is JV-Link 5.0.
    std::string text = link_.Version();
    if (text == "0490" && sizeof(void*) == 8) text = "0500";
    *version = Wide(text);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ParentHWnd(LONG* window) override {
    *window = parent_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_ParentHWnd(LONG window) override {
    Log(std::string("ParentHWnd ") + (window != 0 ? "set" : "zero"));
    parent_ = window;
    return S_OK;
  }

 private:
  // The next record from the feed, cut to `size`; −403 for a record of the
  // damaged cached file.
  LONG Next(std::string& record, LONG size, BSTR* filename) {
    std::string name;
    if (delay_ > 0) Sleep(static_cast<DWORD>(delay_));
    int r = link_.JVRead(record, static_cast<int>(size), name);
    SysFreeString(*filename);
    *filename = Wide(name);
    std::error_code ec;
    if (r > 0 && !damaged_.empty() && name == damaged_ &&
        (damaged_stays_ || !std::filesystem::exists(DeletedMark(name), ec))) {
      Log("damaged " + name);
      return -403;
    }
    return r;
  }

  // JVOpen behind a dialog of the component: window messages go on.
  void Block() {
    DWORD until = GetTickCount() + static_cast<DWORD>(block_);
    for (DWORD now = GetTickCount(); block_ > 0 && static_cast<LONG>(until - now) > 0;
         now = GetTickCount()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, until - now, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
  }

  void Log(const std::string& line) {
    if (log_.empty()) return;
    std::ofstream(std::filesystem::path(log_), std::ios::app | std::ios::binary) << line << "\n";
  }

  std::atomic<ULONG> refs_{1};
  ITypeInfo* info_;
  sorvix::FeedJvLink link_;
  bool gets_;
  bool drop_first_;
  int delay_;
  int block_;
  int foreign_at_;
  std::string damaged_;
  bool damaged_stays_;
  std::wstring log_;
  int sent_ = 0;
  long reads_ = 0;
  LONG parent_ = 0;
  DISPID refuse_ = DISPID_UNKNOWN;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    HRESULT made;
    ITypeInfo* info = CreateJvLinkTypeInfo(made);
    if (!info) return made;
    auto* object = new JvLinkDouble(info);
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++locks : --locks;
    return S_OK;
  }
};

Factory factory;

bool SetKey(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG r = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return r == ERROR_SUCCESS;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) jvlink_double_module = instance;
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return objects == 0 && locks == 0 ? S_OK : S_FALSE;
}

// Registers under HKEY_CLASSES_ROOT, where Wine looks the ProgID up.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(jvlink_double_module, path, MAX_PATH);
  std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  bool ok = SetKey(kProgId, nullptr, L"JV-Link test double") &&
            SetKey(std::wstring(kProgId) + L"\\CLSID", nullptr, kClsidText) &&
            SetKey(clsidKey, nullptr, L"JV-Link test double") &&
            SetKey(clsidKey + L"\\ProgID", nullptr, kProgId) &&
            SetKey(clsidKey + L"\\InprocServer32", nullptr, std::wstring(path, n)) &&
            SetKey(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  return ok ? S_OK : E_FAIL;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsidText).c_str());
  return S_OK;
}
