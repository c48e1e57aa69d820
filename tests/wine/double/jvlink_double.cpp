// A stand-in for JRA-VAN's JV-Link component, for tests under Wine: an
// in-process COM server registered as "JVDTLab.JVLink" that offers the
// component's operations through IDispatch (by name, no type library) and
// serves the feed folder "JVLink" beside the DLL with FeedJvLink, including
// its fault.ini.  Records cross as wide strings, as the real component
// sends them.
//
// Environment (read when the object is created):
//   JVLINK_DOUBLE_GETS=1           also offer JVGets (records as bytes)
//   JVLINK_DOUBLE_READ_DELAY_MS=N  wait N ms before each record
//   JVLINK_DOUBLE_FOREIGN_CHAR_AT=N  the N-th record through JVRead carries
//                                  a character that CP932 does not have
//   JVLINK_DOUBLE_REFUSE=NAME      every call of the method NAME fails with
//                                  DISP_E_EXCEPTION
#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "acquisition/feed_jv_link.h"

HMODULE jvlink_double_module = nullptr;

namespace {

// {6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}
const CLSID kClsid = {0x6a1c3e52, 0x8b0d, 0x4f3a, {0x9c, 0x2e, 0x5d, 0x7b, 0x1a, 0x0f, 0x4e, 0x21}};
const wchar_t kClsidText[] = L"{6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}";
const wchar_t kProgId[] = L"JVDTLab.JVLink";

std::atomic<long> objects{0};
std::atomic<long> locks{0};

enum Method : DISPID {
  kJVInit = 1,
  kJVSetUIProperties,
  kJVOpen,
  kJVStatus,
  kJVRead,
  kJVGets,
  kJVCancel,
  kJVClose,
  kJVRTOpen,
  kVersion,
};

struct MethodName {
  const wchar_t* name;
  DISPID id;
};
const MethodName kMethods[] = {
    {L"JVInit", kJVInit},     {L"JVSetUIProperties", kJVSetUIProperties},
    {L"JVOpen", kJVOpen},     {L"JVStatus", kJVStatus},
    {L"JVRead", kJVRead},     {L"JVGets", kJVGets},
    {L"JVCancel", kJVCancel}, {L"JVClose", kJVClose},
    {L"JVRTOpen", kJVRTOpen}, {L"m_JVLinkVersion", kVersion},
};

int EnvironmentNumber(const wchar_t* name) {
  wchar_t value[32];
  DWORD n = GetEnvironmentVariableW(name, value, 32);
  return n > 0 && n < 32 ? _wtoi(value) : 0;
}

std::string Narrow(BSTR text) {
  if (!text) return "";
  int length = static_cast<int>(SysStringLen(text));
  int n = WideCharToMultiByte(932, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

BSTR Wide(const std::string& bytes) {
  int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), out, n);
  return out;
}

class JvLinkDouble : public IDispatch {
 public:
  JvLinkDouble()
      : gets_(EnvironmentNumber(L"JVLINK_DOUBLE_GETS") == 1),
        delay_(EnvironmentNumber(L"JVLINK_DOUBLE_READ_DELAY_MS")),
        foreign_at_(EnvironmentNumber(L"JVLINK_DOUBLE_FOREIGN_CHAR_AT")) {
    wchar_t name[64];
    DWORD n = GetEnvironmentVariableW(L"JVLINK_DOUBLE_REFUSE", name, 64);
    for (const MethodName& method : kMethods)
      if (n > 0 && n < 64 && _wcsicmp(name, method.name) == 0) refuse_ = method.id;
    ++objects;
  }
  virtual ~JvLinkDouble() { --objects; }

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
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (const MethodName& method : kMethods) {
        if (method.id == kJVGets && !gets_) continue;
        if (_wcsicmp(names[i], method.name) == 0) ids[i] = method.id;
      }
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT* argError) override {
    if (id == refuse_) return DISP_E_EXCEPTION;
    Args args(params);
    int r = 0;
    switch (id) {
      case kJVInit: {
        BSTR sid;
        if (!args.Count(1) || !args.Text(0, sid)) return args.error;
        r = link_.JVInit(Narrow(sid));
        break;
      }
      case kJVSetUIProperties:
        if (!args.Count(0)) return args.error;
        r = link_.JVSetUIProperties();
        break;
      case kJVOpen: {
        BSTR spec, from;
        LONG option;
        LONG *reads, *downloads;
        BSTR* last;
        if (!args.Count(6) || !args.Text(0, spec) || !args.Text(1, from) || !args.Int(2, option) ||
            !args.OutInt(3, reads) || !args.OutInt(4, downloads) || !args.OutText(5, last))
          return Fail(args, argError);
        int readCount = 0, downloadCount = 0;
        std::string stamp;
        r = link_.JVOpen(Narrow(spec), Narrow(from), option, readCount, downloadCount, stamp);
        *reads = readCount;
        *downloads = downloadCount;
        SysFreeString(*last);
        *last = Wide(stamp);
        break;
      }
      case kJVStatus:
        if (!args.Count(0)) return args.error;
        r = link_.JVStatus();
        break;
      case kJVRead:
      case kJVGets: {
        LONG* size;
        BSTR* fileName;
        if (!args.Count(3) || !args.OutInt(1, size) || !args.OutText(2, fileName))
          return Fail(args, argError);
        std::string record, name;
        if (delay_ > 0) Sleep(static_cast<DWORD>(delay_));
        r = link_.JVRead(record, static_cast<int>(*size), name);
        SysFreeString(*fileName);
        *fileName = Wide(name);
        if (id == kJVRead) {
          BSTR* buffer;
          if (!args.OutText(0, buffer)) return Fail(args, argError);
          SysFreeString(*buffer);
          *buffer = Wide(r > 0 ? record : "");
          // "é" in place of the data kind (position 3).
          if (r > 0 && ++sent_ == foreign_at_ && SysStringLen(*buffer) > 3) (*buffer)[2] = 0xE9;
        } else {
          SAFEARRAY** buffer;
          if (!args.OutBytes(0, buffer)) return Fail(args, argError);
          if (*buffer) SafeArrayDestroy(*buffer);
          *buffer = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(record.size()));
          void* data = nullptr;
          if (SUCCEEDED(SafeArrayAccessData(*buffer, &data))) {
            memcpy(data, record.data(), record.size());
            SafeArrayUnaccessData(*buffer);
          }
        }
        break;
      }
      case kJVCancel:
        link_.JVCancel();
        if (result) VariantInit(result);
        return S_OK;
      case kJVClose:
        r = link_.JVClose();
        break;
      case kJVRTOpen: {
        BSTR spec, key;
        if (!args.Count(2) || !args.Text(0, spec) || !args.Text(1, key))
          return Fail(args, argError);
        r = link_.JVRTOpen(Narrow(spec), Narrow(key));
        break;
      }
      case kVersion:
        if (result) {
          VariantInit(result);
          result->vt = VT_BSTR;
          result->bstrVal = Wide(link_.Version());
        }
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (result) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = r;
    }
    return S_OK;
  }

 private:
  // The arguments of one call by parameter position (IDispatch passes them
  // last first).  In-parameters may come by value or by reference.
  struct Args {
    explicit Args(DISPPARAMS* params) : params(params) {}
    ~Args() {
      for (VARIANT& v : converted) VariantClear(&v);
    }
    VARIANT* At(UINT i) { return &params->rgvarg[params->cArgs - 1 - i]; }
    bool Count(UINT n) {
      if (params->cArgs == n) return true;
      error = DISP_E_BADPARAMCOUNT;
      return false;
    }
    bool In(UINT i, VARTYPE type, VARIANT*& out) {
      out = &converted[i];
      VariantInit(out);
      if (SUCCEEDED(VariantChangeType(out, At(i), 0, type))) return true;
      bad = i;
      error = DISP_E_TYPEMISMATCH;
      return false;
    }
    bool Text(UINT i, BSTR& text) {
      VARIANT* v;
      if (!In(i, VT_BSTR, v)) return false;
      text = v->bstrVal;
      return true;
    }
    bool Int(UINT i, LONG& value) {
      VARIANT* v;
      if (!In(i, VT_I4, v)) return false;
      value = v->lVal;
      return true;
    }
    template <typename T>
    bool Out(UINT i, VARTYPE type, T*& target) {
      if (At(i)->vt == (VT_BYREF | type)) {
        target = static_cast<T*>(At(i)->byref);
        return true;
      }
      bad = i;
      error = DISP_E_TYPEMISMATCH;
      return false;
    }
    bool OutInt(UINT i, LONG*& target) { return Out(i, VT_I4, target); }
    bool OutText(UINT i, BSTR*& target) { return Out(i, VT_BSTR, target); }
    bool OutBytes(UINT i, SAFEARRAY**& target) { return Out(i, VT_ARRAY | VT_UI1, target); }

    DISPPARAMS* params;
    VARIANT converted[8] = {};
    HRESULT error = S_OK;
    UINT bad = 0;
  };

  HRESULT Fail(const Args& args, UINT* argError) {
    if (argError) *argError = args.params->cArgs - 1 - args.bad;
    return args.error;
  }

  std::atomic<ULONG> refs_{1};
  sorvix::FeedJvLink link_;
  bool gets_;
  int delay_;
  int foreign_at_;
  int sent_ = 0;
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
    auto* object = new JvLinkDouble;
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
