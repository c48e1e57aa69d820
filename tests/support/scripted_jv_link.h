// ScriptedJvLink: a JvLink for tests of its callers.  Each operation returns
// a configurable result; JVRead plays a queue of records and results; every
// call is logged in order, so a test can check the calling order without
// any feed files.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "acquisition/jv_link.h"

namespace sorvix::test {

class ScriptedJvLink : public JvLink {
 public:
  // One scripted JVRead: a record (result = its length) or a bare result.
  struct Read {
    int result = 0;
    std::string record;
    std::string fileName;
  };

  // Results of the operations.
  int initResult = 0;
  int uiResult = 0;
  int openResult = 0;
  int readCount = 0;
  int downloadCount = 0;
  std::string lastFileTimestamp;
  int closeResult = 0;
  int rtOpenResult = 0;
  std::string version = "0490";

  // JVStatus results, one per call; when used up, JVStatus returns
  // downloadCount.
  std::deque<int> statusResults;
  // JVRead results, one per call; when used up, JVRead returns 0.
  std::deque<Read> reads;

  // Every call in order: "JVInit", "JVSetUIProperties", "JVOpen", "JVStatus",
  // "JVRead", "JVCancel", "JVClose", "JVRTOpen", "Version".
  mutable std::vector<std::string> calls;
  // The arguments of the calls that take any, e.g. "JVOpen RACEDIFN
  // 20240101000000 1", "JVRTOpen 0B12 20240106", "JVInit <sid>".
  mutable std::vector<std::string> arguments;
  // Called after each call is logged (for instance to cancel mid-read).
  std::function<void(const std::string& call)> onCall;

  // Queues a record (CR LF is added when missing) from `fileName`.
  ScriptedJvLink& AddRecord(std::string record, std::string fileName = "TEST.jvd") {
    if (record.size() < 2 || record.compare(record.size() - 2, 2, "\r\n") != 0) record += "\r\n";
    int length = static_cast<int>(record.size());
    reads.push_back({length, std::move(record), std::move(fileName)});
    return *this;
  }
  // Queues a bare JVRead result (−1 file switch, −3 not yet, an error...).
  ScriptedJvLink& AddResult(int result) {
    reads.push_back({result, {}, {}});
    return *this;
  }

  int Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }

  int JVInit(const std::string& sid) override {
    Log("JVInit", "JVInit " + sid);
    return initResult;
  }
  int JVSetUIProperties() override {
    Log("JVSetUIProperties");
    return uiResult;
  }
  int JVOpen(const std::string& dataspec, const std::string& fromTime, int option, int& reads_out,
             int& downloads_out, std::string& timestamp_out) override {
    reads_out = readCount;
    downloads_out = downloadCount;
    timestamp_out = lastFileTimestamp;
    Log("JVOpen", "JVOpen " + dataspec + " " + fromTime + " " + std::to_string(option));
    return openResult;
  }
  int JVStatus() override {
    Log("JVStatus");
    if (statusResults.empty()) return downloadCount;
    int result = statusResults.front();
    statusResults.pop_front();
    return result;
  }
  int JVRead(std::string& buffer, int size, std::string& fileName) override {
    Log("JVRead");
    if (reads.empty()) {
      buffer.clear();
      return 0;
    }
    Read next = std::move(reads.front());
    reads.pop_front();
    buffer = std::move(next.record);
    // As the component: a record that does not fit comes cut to size − 1
    // bytes (the last byte of the buffer is the terminating NUL).
    if (next.result > 0 && next.result > size - 1) {
      buffer.resize(static_cast<size_t>(std::max(size - 1, 0)));
      next.result = static_cast<int>(buffer.size());
    }
    if (!next.fileName.empty()) fileName = std::move(next.fileName);
    return next.result;
  }
  void JVCancel() override { Log("JVCancel"); }
  int JVClose() override {
    Log("JVClose");
    return closeResult;
  }
  int JVRTOpen(const std::string& dataspec, const std::string& key) override {
    Log("JVRTOpen", "JVRTOpen " + dataspec + " " + key);
    return rtOpenResult;
  }
  std::string Version() const override {
    Log("Version");
    return version;
  }

 private:
  void Log(const std::string& call, const std::string& withArguments = {}) const {
    calls.push_back(call);
    if (!withArguments.empty()) arguments.push_back(withArguments);
    if (onCall) onCall(call);
  }
};

}  // namespace sorvix::test
