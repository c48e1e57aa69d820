#include "tools/jvdump/dispatch_jv_link.h"

#include <oleauto.h>

#include <algorithm>
#include <cstdio>

#include "codes/cp932.h"

namespace sorvix::jvdump {
namespace {

// The CP932 bytes of a message written in UTF-8.
std::string Sj(std::string_view utf8) {
  return Cp932(utf8).bytes();
}

constexpr int kCallFailed = -401;  // "JV-Link 内部エラー": the call did not reach the component
constexpr UINT kCp932 = 932;
constexpr wchar_t kProgId[] = L"JVDTLab.JVLink";
// Gets' answer when the component refused the form before taking a
// record: the next form is tried at once.
constexpr int kTryNextForm = -10000;

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return L"";
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// A wide text in `codePage`; `lossless` is false when a character had no
// code there.
std::string ToBytes(const wchar_t* text, size_t length, UINT codePage, bool* lossless = nullptr) {
  if (lossless) *lossless = true;
  if (length == 0) return "";
  BOOL usedDefault = FALSE;
  // Code pages that have no best fit reject the flag and the default-char
  // argument.
  bool strict = codePage != CP_UTF8;
  DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : 0;
  int n = WideCharToMultiByte(codePage, flags, text, static_cast<int>(length), nullptr, 0, nullptr,
                              nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(codePage, flags, text, static_cast<int>(length), out.data(), n, nullptr,
                      lossless && strict ? &usedDefault : nullptr);
  if (lossless && usedDefault) *lossless = false;
  return out;
}

// Texts the exporter passes (data specs, dates, the software id, file
// names) are ASCII or CP932.
std::string FromBstr(BSTR text) {
  return text ? ToBytes(text, SysStringLen(text), kCp932) : "";
}

VARIANT Bstr(const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  std::wstring wide = Widen(text, kCp932);
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return v;
}

VARIANT Int(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

template <typename T>
VARIANT Ref(VARTYPE type, T* target) {
  VARIANT v;
  VariantInit(&v);
  v.vt = static_cast<VARTYPE>(VT_BYREF | type);
  v.byref = target;
  return v;
}

// The record's own length: a wide buffer may carry NULs after it.
size_t TextLength(BSTR text) {
  if (!text) return 0;
  size_t length = SysStringLen(text);
  return std::find(text, text + length, L'\0') - text;
}

// The bytes of a byte array, at most `limit` of them, without the NUL that
// ends a record cut to the buffer.
std::string ArrayBytes(SAFEARRAY* bytes, int limit) {
  std::string out;
  void* data = nullptr;
  if (!bytes || FAILED(SafeArrayAccessData(bytes, &data))) return out;
  LONG low = 0, high = -1;
  SafeArrayGetLBound(bytes, 1, &low);
  SafeArrayGetUBound(bytes, 1, &high);
  size_t count = static_cast<size_t>(std::max<LONG>(0, high - low + 1));
  out.assign(static_cast<const char*>(data), std::min(count, static_cast<size_t>(limit)));
  SafeArrayUnaccessData(bytes);
  while (!out.empty() && out.back() == '\0') out.pop_back();
  return out;
}

// HRESULTs that say the arguments do not fit the member's declaration, or
// that the member is not there: the form of the call does not work here.
bool FormRefused(HRESULT hr) {
  return hr == DISP_E_TYPEMISMATCH || hr == DISP_E_BADPARAMCOUNT || hr == DISP_E_PARAMNOTFOUND ||
         hr == DISP_E_BADVARTYPE || hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND ||
         hr == DISP_E_EXCEPTION || hr == E_INVALIDARG;
}

std::string Hex(HRESULT hr) {
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(hr));
  return number;
}

// The CLSID registered for the ProgID in the registry view `view`, when
// that view also has its in-process server.
bool RegisteredIn(REGSAM view) {
  HKEY key;
  std::wstring progId = std::wstring(kProgId) + L"\\CLSID";
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, progId.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
    return false;
  wchar_t clsid[64];
  DWORD size = sizeof clsid;
  LONG r = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(clsid), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return false;
  clsid[std::min<size_t>(size / sizeof(wchar_t), 63)] = L'\0';
  std::wstring server = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

DispatchJvLink::DispatchJvLink(IDispatch* dispatch, ExportReporter& reporter)
    : dispatch_(dispatch), reporter_(reporter) {}

DispatchJvLink::~DispatchJvLink() {
  if (dispatch_) dispatch_->Release();
}

IDispatch* DispatchJvLink::Create(HRESULT& hr) {
  CLSID clsid;
  hr = CLSIDFromProgID(kProgId, &clsid);
  if (FAILED(hr)) return nullptr;
  IDispatch* dispatch = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                        reinterpret_cast<void**>(&dispatch));
  return SUCCEEDED(hr) ? dispatch : nullptr;
}

int DispatchJvLink::OtherBitnessRegistered() {
  bool own64 = sizeof(void*) == 8;
  REGSAM own = own64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  REGSAM other = own64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  if (RegisteredIn(own) || !RegisteredIn(other)) return 0;
  return own64 ? 32 : 64;
}

DISPID DispatchJvLink::Id(const wchar_t* name, HRESULT& hr) const {
  hr = S_OK;
  auto it = ids_.find(name);
  if (it != ids_.end()) return it->second;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(hr)) ids_[name] = id;
  return id;
}

HRESULT DispatchJvLink::Invoke(const wchar_t* name, WORD flags, std::vector<VARIANT>& args,
                               VARIANT& ret, bool quiet) const {
  VariantInit(&ret);
  HRESULT hr;
  DISPID id = Id(name, hr);
  if (SUCCEEDED(hr)) {
    // IDispatch takes the arguments last first.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    DISPID put = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argError = 0;
    hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &ret, &exception,
                           &argError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  // The by-value texts belong to this call; by-reference values to the caller.
  for (VARIANT& arg : args)
    if (arg.vt == VT_BSTR) VariantClear(&arg);
  if (FAILED(hr) && !quiet) {
    // The component refused the call itself: its HRESULT is the only clue.
    std::wstring wide(name);
    reporter_.Line(Sj("sorvix-jvdump: ") + std::string(wide.begin(), wide.end()) +
                   Sj(" を呼び出せません。(") + Hex(hr) + ")");
  }
  return hr;
}

int DispatchJvLink::Call(const wchar_t* name, std::vector<VARIANT>& args, bool quiet) {
  VARIANT ret;
  int result = kCallFailed;
  if (SUCCEEDED(Invoke(name, DISPATCH_METHOD, args, ret, quiet))) {
    if (ret.vt == VT_EMPTY) {
      result = 0;
    } else if (SUCCEEDED(VariantChangeType(&ret, &ret, 0, VT_I4))) {
      result = ret.lVal;
    }
  }
  VariantClear(&ret);
  return result;
}

void DispatchJvLink::SetParentWindow(HWND window) {
  std::vector<VARIANT> args{Int(static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)))};
  VARIANT ret;
  Invoke(L"ParentHWnd", DISPATCH_PROPERTYPUT, args, ret, true);
  VariantClear(&ret);
}

int DispatchJvLink::JVInit(const std::string& sid) {
  std::vector<VARIANT> args{Bstr(sid)};
  return Call(L"JVInit", args);
}

int DispatchJvLink::JVSetUIProperties() {
  std::vector<VARIANT> args;
  return Call(L"JVSetUIProperties", args);
}

int DispatchJvLink::JVOpen(const std::string& dataspec, const std::string& fromTime, int option,
                           int& readCount, int& downloadCount, std::string& lastFileTimestamp) {
  LONG reads = 0, downloads = 0;
  BSTR last = nullptr;
  std::vector<VARIANT> args{Bstr(dataspec),     Bstr(fromTime),         Int(option),
                            Ref(VT_I4, &reads), Ref(VT_I4, &downloads), Ref(VT_BSTR, &last)};
  int result = Call(L"JVOpen", args);
  readCount = reads;
  downloadCount = downloads;
  lastFileTimestamp = FromBstr(last);
  SysFreeString(last);
  return result;
}

int DispatchJvLink::JVStatus() {
  std::vector<VARIANT> args;
  return Call(L"JVStatus", args);
}

int DispatchJvLink::Narrow(const wchar_t* text, size_t length, const std::string& fileName,
                           std::string& out) {
  // The component made the text with the process's default code page;
  // the same code page gives its bytes back.
  UINT codePage = GetACP();
  if (codePage != kCp932 && !code_page_said_) {
    code_page_said_ = true;
    reporter_.Line(Sj("JV-Link は既定のコードページ ") + std::to_string(codePage) +
                   Sj(" で文字列にしています。同じコードページで元のバイト列に戻します。"));
  }
  bool lossless = true;
  out = ToBytes(text, length, codePage, &lossless);
  // Back to wide: the same text, or the record lost something on the way.
  if (lossless && Widen(out, codePage) != std::wstring(text, length)) lossless = false;
  if (lossless) return static_cast<int>(out.size());
  if (codePage != kCp932) return kRecordUnconvertible;
  reporter_.Warning(Sj("警告: CP932 に変換できない文字を含むレコードです（") + fileName +
                    Sj(" の ") + std::to_string(records_) + Sj(" 件目, 種別 ") + out.substr(0, 2) +
                    Sj("）"));
  return static_cast<int>(out.size());
}

int DispatchJvLink::Read(std::string& buffer, int size, std::string& fileName) {
  // As in the component's samples: a buffer of `size` characters, which
  // the component replaces with its own.
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(size));
  if (text) std::fill(text, text + size, L'\0');
  LONG length = size;
  BSTR name = nullptr;
  std::vector<VARIANT> args{Ref(VT_BSTR, &text), Ref(VT_I4, &length), Ref(VT_BSTR, &name)};
  int result = Call(L"JVRead", args);
  fileName = FromBstr(name);
  if (result > 0) {
    ++records_;
    size_t chars = TextLength(text);
    if (chars == 0) {
      result = kRecordEmpty;
    } else {
      int narrowed = Narrow(text, chars, fileName, buffer);
      if (narrowed < 0) result = narrowed;
    }
  }
  SysFreeString(text);
  SysFreeString(name);
  return result;
}

void DispatchJvLink::SayForm() {
  const char* text = form_ == Form::GetsVariant
                         ? "JVGets でレコードをバイト列のまま受け取ります（VARIANT 形式）。"
                     : form_ == Form::GetsByteArray
                         ? "JVGets でレコードをバイト列のまま受け取ります（バイト配列形式）。"
                         : "JVRead でレコードを文字列で受け取り、バイト列に戻します。";
  reporter_.Line(Sj(text));
}

void DispatchJvLink::GiveUpForm(const char* why) {
  reporter_.Line(Sj(form_ == Form::GetsVariant ? "JVGets（VARIANT 形式）は使えません: "
                                               : "JVGets（バイト配列形式）は使えません: ") +
                 Sj(why));
  form_ = form_ == Form::GetsVariant ? Form::GetsByteArray : Form::Read;
}

int DispatchJvLink::Gets(std::string& buffer, int size, std::string& fileName) {
  SAFEARRAY* bytes = nullptr;
  VARIANT holder;
  VariantInit(&holder);
  BSTR name = nullptr;
  std::vector<VARIANT> args{
      form_ == Form::GetsVariant ? Ref(VT_VARIANT, &holder) : Ref(VT_ARRAY | VT_UI1, &bytes),
      Int(size), Ref(VT_BSTR, &name)};
  // While the form is found out, a refusal is expected.
  VARIANT ret;
  HRESULT hr = Invoke(L"JVGets", DISPATCH_METHOD, args, ret, !form_works_);
  int result = kCallFailed;
  if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&ret, &ret, 0, VT_I4))) result = ret.lVal;
  VariantClear(&ret);
  fileName = FromBstr(name);
  SysFreeString(name);
  if (holder.vt == (VT_ARRAY | VT_UI1)) bytes = holder.parray;
  buffer = result > 0 ? ArrayBytes(bytes, result) : "";
  if (bytes && bytes != holder.parray) SafeArrayDestroy(bytes);
  VariantClear(&holder);

  if (FAILED(hr)) {
    if (form_works_ || !FormRefused(hr)) return kCallFailed;
    GiveUpForm(("(" + Hex(hr) + ")").c_str());
    return kTryNextForm;
  }
  if (result > 0 && buffer.empty()) {
    if (form_works_) return kRecordEmpty;
    // The component took the record, but the bytes did not arrive.
    GiveUpForm("成功を返しましたがバイト列が届きません。");
    return kRecordLost;
  }
  if (result > 0) {
    if (!form_works_) SayForm();
    form_works_ = true;
    ++records_;
  }
  return result;
}

int DispatchJvLink::JVRead(std::string& buffer, int size, std::string& fileName) {
  while (form_ != Form::Read) {
    int result = Gets(buffer, size, fileName);
    if (result == kTryNextForm) {
      if (form_ == Form::Read) SayForm();
      continue;
    }
    if (result == kRecordLost && form_ == Form::Read) SayForm();
    return result;
  }
  return Read(buffer, size, fileName);
}

void DispatchJvLink::JVCancel() {
  std::vector<VARIANT> args;
  Call(L"JVCancel", args);
}

int DispatchJvLink::JVClose() {
  std::vector<VARIANT> args;
  return Call(L"JVClose", args);
}

int DispatchJvLink::JVRTOpen(const std::string& dataspec, const std::string& key) {
  std::vector<VARIANT> args{Bstr(dataspec), Bstr(key)};
  return Call(L"JVRTOpen", args);
}

int DispatchJvLink::JVFiledelete(const std::string& fileName) {
  std::vector<VARIANT> args{Bstr(fileName)};
  return Call(L"JVFiledelete", args);
}

std::string DispatchJvLink::Version() const {
  std::vector<VARIANT> args;
  VARIANT ret;
  std::string version;
  if (SUCCEEDED(Invoke(L"m_JVLinkVersion", DISPATCH_PROPERTYGET, args, ret, true)) &&
      SUCCEEDED(VariantChangeType(&ret, &ret, 0, VT_BSTR)))
    version = FromBstr(ret.bstrVal);
  VariantClear(&ret);
  return version;
}

}  // namespace sorvix::jvdump
