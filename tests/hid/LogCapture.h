// Collects what the program logs while it lives: a message handler installed by the test. The
// reading threads log too, so the lines are kept under a lock.
#pragma once

#include <QString>
#include <QtGlobal>
#include <mutex>
#include <string>
#include <vector>

struct LoggedLine {
  QtMsgType type;
  std::string category;
  QString text;
};

class LogCapture {
 public:
  LogCapture() {
    Current() = this;
    previous_ = qInstallMessageHandler(&LogCapture::Handle);
  }
  ~LogCapture() {
    qInstallMessageHandler(previous_);
    Current() = nullptr;
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<LoggedLine> Lines(const std::string& category, QtMsgType type) const {
    std::lock_guard lock(mutex_);
    std::vector<LoggedLine> matching;
    for (const LoggedLine& line : lines_) {
      if (line.category == category && line.type == type) matching.push_back(line);
    }
    return matching;
  }

 private:
  static LogCapture*& Current() {
    static LogCapture* current = nullptr;
    return current;
  }
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    LogCapture* capture = Current();
    if (capture == nullptr) return;
    std::lock_guard lock(capture->mutex_);
    capture->lines_.push_back({type, context.category != nullptr ? context.category : "", text});
  }

  QtMessageHandler previous_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<LoggedLine> lines_;
};
