// The type information of the JV-Link double's automation interface,
// built at run time from the documented signatures of the component's
// methods and properties.  IDispatch calls of the double go through it
// (ITypeInfo::Invoke), so arguments are coerced, accepted or refused by
// the system's own rules, as for a component with a type library.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

// The dispatch ids, in the order of the interface's virtual methods.
enum JvLinkMember : MEMBERID {
  kJVInit = 1,
  kJVSetUIProperties,
  kJVOpen,
  kJVRTOpen,
  kJVStatus,
  kJVRead,
  kJVGets,
  kJVSkip,
  kJVCancel,
  kJVClose,
  kJVFiledelete,
  kVersion = 20,
  kParentHWnd = 21,
};

// The interface as the component declares it: each method returns its
// result through the last (retval) parameter.
struct IJVLink : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE JVInit(BSTR sid, LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVSetUIProperties(LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVOpen(BSTR dataspec, BSTR fromtime, LONG option,
                                           LONG* readcount, LONG* downloadcount,
                                           BSTR* lastfiletimestamp, LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVRTOpen(BSTR dataspec, BSTR key, LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVStatus(LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVRead(BSTR* buff, LONG* size, BSTR* filename,
                                           LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVGets(VARIANT* buff, LONG size, BSTR* filename,
                                           LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVSkip() = 0;
  virtual HRESULT STDMETHODCALLTYPE JVCancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE JVClose(LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE JVFiledelete(BSTR filename, LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_m_JVLinkVersion(BSTR* version) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ParentHWnd(LONG* window) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ParentHWnd(LONG window) = 0;
};

// The type information of IJVLink (one reference), or nullptr with the
// failure in `hr`.
ITypeInfo* CreateJvLinkTypeInfo(HRESULT& hr);
