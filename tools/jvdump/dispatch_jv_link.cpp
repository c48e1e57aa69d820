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
constexpr UINT kCodePage = 932;

std::wstring Widen(const std::string& text) {
  if (text.empty()) return L"";
  int n = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// A wide text as CP932; `lossless` is false when a character had no code.
std::string ToCp932(const wchar_t* text, size_t length, bool* lossless = nullptr) {
  if (lossless) *lossless = true;
  if (length == 0) return "";
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length),
                              nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), out.data(),
                      n, nullptr, lossless ? &usedDefault : nullptr);
  if (lossless && usedDefault) *lossless = false;
  return out;
}

std::string FromBstr(BSTR text) {
  return text ? ToCp932(text, SysStringLen(text)) : "";
}

VARIANT Bstr(const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  std::wstring wide = Widen(text);
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

}  // namespace

DispatchJvLink::DispatchJvLink(IDispatch* dispatch, ExportReporter& reporter)
    : dispatch_(dispatch), reporter_(reporter) {}

DispatchJvLink::~DispatchJvLink() {
  if (dispatch_) dispatch_->Release();
}

IDispatch* DispatchJvLink::Create(HRESULT& hr) {
  CLSID clsid;
  hr = CLSIDFromProgID(L"JVDTLab.JVLink", &clsid);
  if (FAILED(hr)) return nullptr;
  IDispatch* dispatch = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                        reinterpret_cast<void**>(&dispatch));
  return SUCCEEDED(hr) ? dispatch : nullptr;
}

DISPID DispatchJvLink::Id(const wchar_t* name, HRESULT& hr) {
  hr = S_OK;
  auto it = ids_.find(name);
  if (it != ids_.end()) return it->second;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(hr)) ids_[name] = id;
  return id;
}

HRESULT DispatchJvLink::Call(const wchar_t* name, std::vector<VARIANT>& args, int& result,
                             bool quiet) {
  result = kCallFailed;
  HRESULT hr;
  DISPID id = Id(name, hr);
  if (SUCCEEDED(hr)) {
    // IDispatch takes the arguments last first.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    VARIANT ret;
    VariantInit(&ret);
    EXCEPINFO exception{};
    UINT argError = 0;
    hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &ret,
                           &exception, &argError);
    if (SUCCEEDED(hr)) {
      if (ret.vt == VT_EMPTY) {
        result = 0;
      } else if (SUCCEEDED(VariantChangeType(&ret, &ret, 0, VT_I4))) {
        result = ret.lVal;
      }
    }
    VariantClear(&ret);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  // The by-value texts belong to this call; by-reference values to the caller.
  for (VARIANT& arg : args)
    if (arg.vt == VT_BSTR) VariantClear(&arg);
  last_error_ = hr;
  if (FAILED(hr) && !quiet) {
    // The component refused the call itself: its HRESULT is the only clue.
    char number[16];
    std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(hr));
    std::wstring wide(name);
    reporter_.Line(Sj("sorvix-jvdump: ") + std::string(wide.begin(), wide.end()) +
                   Sj(" を呼び出せません。(") + number + ")");
  }
  return hr;
}

int DispatchJvLink::JVInit(const std::string& sid) {
  std::vector<VARIANT> args{Bstr(sid)};
  int result;
  Call(L"JVInit", args, result);
  return result;
}

int DispatchJvLink::JVSetUIProperties() {
  std::vector<VARIANT> args;
  int result;
  Call(L"JVSetUIProperties", args, result);
  return result;
}

int DispatchJvLink::JVOpen(const std::string& dataspec, const std::string& fromTime, int option,
                           int& readCount, int& downloadCount, std::string& lastFileTimestamp) {
  LONG reads = 0, downloads = 0;
  BSTR last = nullptr;
  std::vector<VARIANT> args{Bstr(dataspec),     Bstr(fromTime),         Int(option),
                            Ref(VT_I4, &reads), Ref(VT_I4, &downloads), Ref(VT_BSTR, &last)};
  int result;
  Call(L"JVOpen", args, result);
  readCount = reads;
  downloadCount = downloads;
  lastFileTimestamp = FromBstr(last);
  SysFreeString(last);
  return result;
}

int DispatchJvLink::JVStatus() {
  std::vector<VARIANT> args;
  int result;
  Call(L"JVStatus", args, result);
  return result;
}

std::string DispatchJvLink::Narrow(const wchar_t* text, size_t length,
                                   const std::string& fileName) {
  bool lossless = true;
  std::string bytes = ToCp932(text, length, &lossless);
  // Back to wide: the same text, or the record lost something on the way.
  if (lossless && Widen(bytes) != std::wstring(text, length)) lossless = false;
  if (!lossless) {
    reporter_.Warning(Sj("警告: CP932 に変換できない文字を含むレコードです（") + fileName +
                      Sj(" の ") + std::to_string(records_) + Sj(" 件目, 種別 ") +
                      bytes.substr(0, 2) + Sj("）"));
  }
  return bytes;
}

int DispatchJvLink::Read(std::string& buffer, int size, std::string& fileName) {
  BSTR text = nullptr;
  LONG length = size;
  BSTR name = nullptr;
  std::vector<VARIANT> args{Ref(VT_BSTR, &text), Ref(VT_I4, &length), Ref(VT_BSTR, &name)};
  int result;
  Call(L"JVRead", args, result);
  fileName = FromBstr(name);
  if (result > 0) {
    if (++records_ == 1) reporter_.Line(Sj("JVRead でレコードを受け取り、CP932 に変換します。"));
    buffer = Narrow(text, TextLength(text), fileName);
  }
  SysFreeString(text);
  SysFreeString(name);
  return result;
}

bool DispatchJvLink::Gets(std::string& buffer, int size, std::string& fileName, int& result) {
  if (gets_ == GetsState::No) return false;
  HRESULT hr;
  Id(L"JVGets", hr);
  if (FAILED(hr)) {
    gets_ = GetsState::No;
    return false;
  }
  for (;;) {
    SAFEARRAY* bytes = nullptr;
    VARIANT holder;
    VariantInit(&holder);
    LONG length = size;
    BSTR name = nullptr;
    std::vector<VARIANT> args{
        gets_variant_ ? Ref(VT_VARIANT, &holder) : Ref(VT_ARRAY | VT_UI1, &bytes),
        Ref(VT_I4, &length), Ref(VT_BSTR, &name)};
    // While the form of the buffer is being found out, a refusal is expected.
    hr = Call(L"JVGets", args, result, gets_ == GetsState::Untried);
    if (FAILED(hr)) {
      SysFreeString(name);
      if (gets_ == GetsState::Yes) return true;  // a failure of a working JVGets
      // The component declares the buffer otherwise: try the other form,
      // then give up on JVGets.
      if (!gets_variant_) {
        gets_variant_ = true;
        continue;
      }
      gets_ = GetsState::No;
      return false;
    }
    gets_ = GetsState::Yes;
    fileName = FromBstr(name);
    SysFreeString(name);
    if (gets_variant_ && holder.vt == (VT_ARRAY | VT_UI1)) {
      bytes = holder.parray;
      holder.vt = VT_EMPTY;
    }
    buffer.clear();
    if (result > 0) {
      if (++records_ == 1) reporter_.Line(Sj("JVGets でレコードをバイト列のまま受け取ります。"));
      void* data = nullptr;
      if (bytes && SUCCEEDED(SafeArrayAccessData(bytes, &data))) {
        LONG low = 0, high = -1;
        SafeArrayGetLBound(bytes, 1, &low);
        SafeArrayGetUBound(bytes, 1, &high);
        size_t count = static_cast<size_t>(std::max<LONG>(0, high - low + 1));
        buffer.assign(static_cast<const char*>(data), std::min(count, static_cast<size_t>(result)));
        SafeArrayUnaccessData(bytes);
      }
      if (buffer.empty()) result = kCallFailed;  // a record that did not arrive
    }
    if (bytes) SafeArrayDestroy(bytes);
    VariantClear(&holder);
    return true;
  }
}

int DispatchJvLink::JVRead(std::string& buffer, int size, std::string& fileName) {
  int result;
  if (Gets(buffer, size, fileName, result)) return result;
  return Read(buffer, size, fileName);
}

void DispatchJvLink::JVCancel() {
  std::vector<VARIANT> args;
  int result;
  Call(L"JVCancel", args, result);
}

int DispatchJvLink::JVClose() {
  std::vector<VARIANT> args;
  int result;
  Call(L"JVClose", args, result);
  return result;
}

int DispatchJvLink::JVRTOpen(const std::string& dataspec, const std::string& key) {
  std::vector<VARIANT> args{Bstr(dataspec), Bstr(key)};
  int result;
  Call(L"JVRTOpen", args, result);
  return result;
}

std::string DispatchJvLink::Version() const {
  return "";
}

}  // namespace sorvix::jvdump
