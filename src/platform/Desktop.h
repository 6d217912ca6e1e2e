#pragma once
// What the desktop offers a program beyond its own windows and the system dialogs of the application
// (SystemDialogs.h): the clipboard, opening a document with the system's default program, temporary files.
// The clipboard and the shell are interfaces with one implementation installed for the process (like the
// clock); tests install recording ones, and programs keep the defaults: an in-memory clipboard and a shell
// that opens documents with xdg-open when it is installed.

#include <string>
#include <vector>

namespace jxc {

// --- clipboard -------------------------------------------------------------------------------------------
class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string GetText() const = 0;
  virtual void Clear() = 0;
};

class TMemoryClipboard : public IClipboard {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string GetText() const override { return text_; }
  void Clear() override { text_.clear(); }

 private:
  std::string text_;
};

// --- shell ------------------------------------------------------------------------------------------------
class IShell {
 public:
  virtual ~IShell() = default;
  // Opens the document with the program the system associates with it; false when none could be started.
  virtual bool OpenDocument(const std::string& path) = 0;
};

// Records the documents it was asked to open and opens nothing.
class TRecordingShell : public IShell {
 public:
  bool OpenDocument(const std::string& path) override {
    opened_.push_back(path);
    return true;
  }
  const std::vector<std::string>& Opened() const { return opened_; }

 private:
  std::vector<std::string> opened_;
};

// Single-quoted for /bin/sh: embedded quotes closed, escaped and reopened.
std::string ShellQuoted(const std::string& text);
// The first program of that name on PATH, or "" when there is none.
std::string FindProgram(const std::string& name);

// --- the installed implementations ---------------------------------------------------------------------------
// Never null; each setter installs an implementation (not owned; nullptr restores the default) and returns
// the previous one.
IClipboard& Clipboard();
IClipboard* SetClipboard(IClipboard* clipboard);
IShell& Shell();
IShell* SetShell(IShell* shell);

// Installs an implementation for the lifetime of the guard (tests).
template <class I, I* (*Set)(I*)>
class ScopedDesktop {
 public:
  explicit ScopedDesktop(I& implementation) : previous_(Set(&implementation)) {}
  ~ScopedDesktop() { Set(previous_); }
  ScopedDesktop(const ScopedDesktop&) = delete;
  ScopedDesktop& operator=(const ScopedDesktop&) = delete;

 private:
  I* previous_;
};
using ScopedClipboard = ScopedDesktop<IClipboard, SetClipboard>;
using ScopedShell = ScopedDesktop<IShell, SetShell>;

// A new, empty temporary file with the extension (".xls"); its full path.
std::string NewTempFileName(const std::string& extension);

}  // namespace jxc
