#include "tests/wine/double/jvlink_type_info.h"

#include <vector>

namespace {

// {4B2F7A11-3C5D-4E8F-A1B2-6C7D8E9F0A11}
const GUID kInterfaceId = {
    0x4b2f7a11, 0x3c5d, 0x4e8f, {0xa1, 0xb2, 0x6c, 0x7d, 0x8e, 0x9f, 0x0a, 0x11}};
const GUID kLibraryId = {
    0x4b2f7a10, 0x3c5d, 0x4e8f, {0xa1, 0xb2, 0x6c, 0x7d, 0x8e, 0x9f, 0x0a, 0x11}};

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;

// One declared parameter: `type` is passed by reference when `byRef`.
struct Param {
  const wchar_t* name;
  VARTYPE type;
  bool byRef;
  USHORT flags;
};

// One member: its parameters, and the type of its result (VT_EMPTY: none).
struct Member {
  const wchar_t* name;
  MEMBERID id;
  INVOKEKIND kind;
  std::vector<Param> params;
  VARTYPE result;
};

// The documented signatures, in the order of IJVLink's virtual methods.
const std::vector<Member>& Members() {
  static const std::vector<Member> members = {
      {L"JVInit", kJVInit, INVOKE_FUNC, {{L"sid", VT_BSTR, false, kIn}}, VT_I4},
      {L"JVSetUIProperties", kJVSetUIProperties, INVOKE_FUNC, {}, VT_I4},
      {L"JVOpen",
       kJVOpen,
       INVOKE_FUNC,
       {{L"dataspec", VT_BSTR, false, kIn},
        {L"fromtime", VT_BSTR, false, kIn},
        {L"option", VT_I4, false, kIn},
        {L"readcount", VT_I4, true, kInOut},
        {L"downloadcount", VT_I4, true, kInOut},
        {L"lastfiletimestamp", VT_BSTR, true, kInOut}},
       VT_I4},
      {L"JVRTOpen",
       kJVRTOpen,
       INVOKE_FUNC,
       {{L"dataspec", VT_BSTR, false, kIn}, {L"key", VT_BSTR, false, kIn}},
       VT_I4},
      {L"JVStatus", kJVStatus, INVOKE_FUNC, {}, VT_I4},
      {L"JVRead",
       kJVRead,
       INVOKE_FUNC,
       {{L"buff", VT_BSTR, true, kInOut},
        {L"size", VT_I4, true, kInOut},
        {L"filename", VT_BSTR, true, kInOut}},
       VT_I4},
      {L"JVGets",
       kJVGets,
       INVOKE_FUNC,
       {{L"buff", VT_VARIANT, true, kInOut},
        {L"size", VT_I4, false, kIn},
        {L"filename", VT_BSTR, true, kInOut}},
       VT_I4},
      {L"JVSkip", kJVSkip, INVOKE_FUNC, {}, VT_EMPTY},
      {L"JVCancel", kJVCancel, INVOKE_FUNC, {}, VT_EMPTY},
      {L"JVClose", kJVClose, INVOKE_FUNC, {}, VT_I4},
      {L"JVFiledelete", kJVFiledelete, INVOKE_FUNC, {{L"filename", VT_BSTR, false, kIn}}, VT_I4},
      {L"m_JVLinkVersion", kVersion, INVOKE_PROPERTYGET, {}, VT_BSTR},
      {L"ParentHWnd", kParentHWnd, INVOKE_PROPERTYGET, {}, VT_I4},
      {L"ParentHWnd", kParentHWnd, INVOKE_PROPERTYPUT, {{L"window", VT_I4, false, kIn}}, VT_EMPTY},
  };
  return members;
}

// Adds `member` as the `index`-th function of `info`.
HRESULT AddMember(ICreateTypeInfo* info, UINT index, const Member& member) {
  size_t count = member.params.size() + (member.result != VT_EMPTY ? 1 : 0);
  std::vector<TYPEDESC> pointed(count);
  std::vector<ELEMDESC> params(count);
  std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member.name)};
  for (size_t i = 0; i < count; ++i) {
    bool retval = i == member.params.size();
    VARTYPE type = retval ? member.result : member.params[i].type;
    bool byRef = retval || member.params[i].byRef;
    ELEMDESC& e = params[i];
    if (byRef) {
      pointed[i].vt = type;
      e.tdesc.vt = VT_PTR;
      e.tdesc.lptdesc = &pointed[i];
    } else {
      e.tdesc.vt = type;
    }
    e.paramdesc.wParamFlags =
        retval ? static_cast<USHORT>(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL) : member.params[i].flags;
    // A property put's value has no name of its own.
    if (!retval && member.kind != INVOKE_PROPERTYPUT)
      names.push_back(const_cast<LPOLESTR>(member.params[i].name));
  }
  FUNCDESC desc{};
  desc.memid = member.id;
  desc.funckind = FUNC_PUREVIRTUAL;
  desc.invkind = member.kind;
  desc.callconv = CC_STDCALL;
  desc.cParams = static_cast<SHORT>(count);
  desc.lprgelemdescParam = params.data();
  desc.oVft = static_cast<SHORT>((7 + index) * sizeof(void*));
  desc.elemdescFunc.tdesc.vt = VT_HRESULT;
  HRESULT hr = info->AddFuncDesc(index, &desc);
  if (SUCCEEDED(hr))
    hr = info->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size()));
  return hr;
}

// IDispatch's own type information, from the system's stdole2.tlb.
ITypeInfo* DispatchTypeInfo(HRESULT& hr) {
  ITypeLib* stdole = nullptr;
  hr = LoadTypeLib(L"stdole2.tlb", &stdole);
  if (FAILED(hr)) return nullptr;
  ITypeInfo* dispatch = nullptr;
  hr = stdole->GetTypeInfoOfGuid(IID_IDispatch, &dispatch);
  stdole->Release();
  return dispatch;
}

HRESULT Build(ICreateTypeInfo* info, ITypeInfo* dispatch) {
  HREFTYPE base = 0;
  HRESULT hr = info->SetGuid(kInterfaceId);
  if (SUCCEEDED(hr)) hr = info->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
  if (SUCCEEDED(hr)) hr = info->AddRefTypeInfo(dispatch, &base);
  if (SUCCEEDED(hr)) hr = info->AddImplType(0, base);
  UINT index = 0;
  for (const Member& member : Members())
    if (SUCCEEDED(hr)) hr = AddMember(info, index++, member);
  if (SUCCEEDED(hr)) hr = info->LayOut();
  return hr;
}

}  // namespace

ITypeInfo* CreateJvLinkTypeInfo(HRESULT& hr) {
  ITypeInfo* dispatch = DispatchTypeInfo(hr);
  if (!dispatch) return nullptr;
  ICreateTypeLib2* library = nullptr;
  hr = CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, L"jvlink-double.tlb", &library);
  ICreateTypeInfo* created = nullptr;
  if (SUCCEEDED(hr)) hr = library->SetGuid(kLibraryId);
  if (SUCCEEDED(hr))
    hr = library->CreateTypeInfo(const_cast<LPOLESTR>(L"IJVLink"), TKIND_INTERFACE, &created);
  if (SUCCEEDED(hr)) hr = Build(created, dispatch);
  ITypeInfo* info = nullptr;
  if (SUCCEEDED(hr)) hr = created->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&info));
  if (created) created->Release();
  if (library) library->Release();
  dispatch->Release();
  return SUCCEEDED(hr) ? info : nullptr;
}
