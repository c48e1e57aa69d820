// DispatchJvLink: JRA-VAN's JV-Link component ("JVDTLab.JVLink") driven
// through IDispatch by name, so no type library is needed.  Records come
// as bytes through JVGets where the component offers it; otherwise JVRead's
// wide string is turned into CP932 (code page 932) and converted back to
// check that nothing was lost.  Windows only.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "acquisition/jv_link.h"
#include "tools/jvdump/export_run.h"

namespace sorvix::jvdump {

class DispatchJvLink : public JvLink {
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

  // The last failed call's HRESULT (S_OK when none failed).
  HRESULT lastError() const { return last_error_; }

 private:
  // Calls the method `name` with `args` in the order of the method's
  // parameters; the result goes to `result` as VT_I4 (−401 when the call
  // itself fails, which is reported unless `quiet`).
  HRESULT Call(const wchar_t* name, std::vector<VARIANT>& args, int& result, bool quiet = false);
  DISPID Id(const wchar_t* name, HRESULT& hr);
  // JVGets: the record as bytes.  false when the component has no usable
  // JVGets (the caller then uses JVRead).
  bool Gets(std::string& buffer, int size, std::string& fileName, int& result);
  int Read(std::string& buffer, int size, std::string& fileName);
  // The record as CP932; warns when it does not convert back exactly.
  std::string Narrow(const wchar_t* text, size_t length, const std::string& fileName);

  IDispatch* dispatch_;
  ExportReporter& reporter_;
  std::map<std::wstring, DISPID> ids_;
  HRESULT last_error_ = S_OK;
  // JVGets: untried, usable, or not offered.
  enum class GetsState { Untried, Yes, No } gets_ = GetsState::Untried;
  // JVGets' buffer parameter: a byte array, or a VARIANT holding one.
  bool gets_variant_ = false;
  long records_ = 0;
};

}  // namespace sorvix::jvdump
