// DispatchJvLink: JRA-VAN's JV-Link component ("JVDTLab.JVLink") driven
// through IDispatch by name.  Records come as bytes through JVGets in its
// documented form (a VARIANT that receives a byte array, the size by
// value); a form that the component refuses, or that returns success
// without the bytes, gives way to the next form and then to JVRead, whose
// wide text is turned back into bytes with the code page the component
// converted it with (the process's default).  Windows only.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "acquisition/jv_link.h"
#include "tools/jvdump/export_run.h"

namespace sorvix::jvdump {

class DispatchJvLink : public JvLink, public ComponentExtras {
 public:
  // Takes over `dispatch` (one reference).  Conversion warnings go to
  // `reporter`.
  DispatchJvLink(IDispatch* dispatch, ExportReporter& reporter);
  ~DispatchJvLink() override;
  DispatchJvLink(const DispatchJvLink&) = delete;
  DispatchJvLink& operator=(const DispatchJvLink&) = delete;

  // Creates the component by its ProgID; nullptr and the HRESULT in `hr`
  // when it is not installed or cannot be created.
  static IDispatch* Create(HRESULT& hr);
  // When the component is registered for the other bitness only: the
  // bitness it is registered for (32 or 64); else 0.
  static int OtherBitnessRegistered();

  // ParentHWnd: the owner of the component's dialogs, so that they come to
  // the front.  A component without the property is left as it is.
  void SetParentWindow(HWND window);

  int JVInit(const std::string& sid) override;
  int JVSetUIProperties() override;
  int JVOpen(const std::string& dataspec, const std::string& fromTime, int option, int& readCount,
             int& downloadCount, std::string& lastFileTimestamp) override;
  int JVStatus() override;
  int JVRead(std::string& buffer, int size, std::string& fileName) override;
  void JVCancel() override;
  int JVClose() override;
  int JVRTOpen(const std::string& dataspec, const std::string& key) override;
  std::string Version() const override;
  int JVFiledelete(const std::string& fileName) override;

 private:
  // How records are read: the forms of JVGets' buffer in the order they
  // are tried, then JVRead.
  enum class Form { GetsVariant, GetsByteArray, Read };

  // Calls the member `name` with `args` in the order of its parameters;
  // its result goes to `ret`.  A refusal is reported unless `quiet`.
  HRESULT Invoke(const wchar_t* name, WORD flags, std::vector<VARIANT>& args, VARIANT& ret,
                 bool quiet) const;
  // A method whose result is a number: the number, or −401 when the call
  // itself failed.
  int Call(const wchar_t* name, std::vector<VARIANT>& args, bool quiet = false);
  DISPID Id(const wchar_t* name, HRESULT& hr) const;
  // One JVGets call in the current form.
  int Gets(std::string& buffer, int size, std::string& fileName);
  int Read(std::string& buffer, int size, std::string& fileName);
  // The next form after one that does not work here.
  void GiveUpForm(const char* why);
  void SayForm();
  // The record as bytes; kRecordUnconvertible when the text does not go
  // back into the code page it came from.
  int Narrow(const wchar_t* text, size_t length, const std::string& fileName, std::string& out);

  IDispatch* dispatch_;
  ExportReporter& reporter_;
  mutable std::map<std::wstring, DISPID> ids_;
  Form form_ = Form::GetsVariant;
  bool form_works_ = false;  // a record came through the current form
  long records_ = 0;
  bool code_page_said_ = false;
};

}  // namespace sorvix::jvdump
