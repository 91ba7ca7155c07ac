#pragma once
// A file replaced whole or not at all. The new bytes go to a hidden
// temporary file beside the target; Commit checks every write, the last
// flush, an fsync and the close, and only then renames the temporary file
// over the target. On any failure the target keeps its old bytes, the
// temporary file is removed and Error() says why.
//
// A target that is a device or a pipe (/dev/stdout, /dev/null) cannot be
// renamed over: it is written in place, with every write checked.

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

class TAtomicFile {
 public:
  // What a target that is a symbolic link stands for: the file it points to
  // (a file the user named, a settings file kept in a dotfiles folder), or
  // the link itself, which is replaced while what it points to is never
  // touched (names chosen by someone else, such as an update server).
  enum class TLinks { Follow, Replace };

  explicit TAtomicFile(std::string target, TLinks links = TLinks::Follow, std::size_t bufferBytes = 64 * 1024);
  // Discards whatever was not committed.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // Creates the temporary file (or opens a device); false, with Error(),
  // when it cannot.
  bool Open();
  // Buffers the bytes; false once anything has failed.
  bool Write(std::string_view bytes);
  // A stream writing through Write; it turns bad when a write fails.
  std::ostream& Stream();
  // Writes what is buffered, syncs and closes, without renaming: the whole
  // new content then lies at WrittenPath(), where it can be checked before
  // Commit puts it in place (or Discard drops it). False, with the
  // temporary file removed, when any step failed or an earlier write did.
  bool Finish();
  // Finishes (unless done), then renames; false, with the target
  // untouched, when any step failed or an earlier write did.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Discard();

  bool Failed() const { return !ErrorText.empty(); }
  // What went wrong, naming the file: "cannot write /x/A.ZEB: No space left on device".
  const std::string& Error() const { return ErrorText; }
  // The path the bytes will replace (the link's target when links are followed).
  const std::string& FinalPath() const { return Final; }
  // Where the bytes are written: the temporary file (the target itself for
  // a device).
  const std::string& WrittenPath() const { return Temporary.empty() ? Final : Temporary; }

 private:
  class TBuffer;
  bool Flush();
  void Fail(const char* action, int error);
  void CloseDescriptor();

  std::string Target;
  TLinks Links;
  std::size_t BufferBytes;
  std::string Final;
  std::string Temporary;  // empty when writing a device in place
  int Descriptor = -1;
  bool Finished = false;
  bool Committed = false;
  std::string ErrorText;
  std::unique_ptr<TBuffer> Buffer;
  std::unique_ptr<std::ostream> Out;
};

// Writes the bytes as the whole new content of the file; "" on success,
// else the error text.
std::string ReplaceFileWith(const std::string& path, std::string_view bytes,
                            TAtomicFile::TLinks links = TAtomicFile::TLinks::Follow);
