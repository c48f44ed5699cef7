// The conversion log and the work list on disk: UTF-8 without byte-order
// mark, lines ended by CR LF, each line handed to the system as it is
// written so that it is on disk even if the program stops during a run.
#pragma once

#include <cstdint>
#include <string>

#include "core/win_handles.h"

namespace zx {

// Any two fixed names in the preference folder do.
constexpr char16_t kConversionLogName[] = u"Conversion.log";
constexpr char16_t kWorkListFileName[] = u"Conversion work list.txt";

class ConversionTextFile {
 public:
  // Creates (or truncates) the file for writing and reading back.
  bool Create(const std::u16string& path);
  bool open() const { return file_.valid(); }
  void Close() { file_.Reset(); }

  bool WriteLine(const std::u16string& line);
  // The write position, and a move back to one for reading from there.
  bool Position(uint64_t& position);
  bool MoveTo(uint64_t position);
  // The next line without its line end; false at the end of the file.
  bool ReadLine(std::u16string& line);

 private:
  UniqueHandle file_;
  std::string buffer_;
  size_t read_ = 0;
  bool ended_ = false;
};

}  // namespace zx
