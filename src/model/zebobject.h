#pragma once
// Root class of every object of a loaded hint file and of every item of a
// displayed document. Texts are raw 8-bit bytes; the display converts them.

#include <cstdint>
#include <string>

// Kind codes reported by KindCode(); the order is that of the kind-name table.
namespace Kind {
constexpr std::uint8_t Comment = 0;
constexpr std::uint8_t Credit = 1;
constexpr std::uint8_t Gifa = 2;
constexpr std::uint8_t Hint = 3;
constexpr std::uint8_t Subject = 4;
constexpr std::uint8_t VerHunk = 5;
constexpr std::uint8_t Blank = 6;
constexpr std::uint8_t Incentive = 7;
constexpr std::uint8_t Info = 8;
constexpr std::uint8_t Link = 9;
constexpr std::uint8_t NestHint = 10;
constexpr std::uint8_t Text = 11;
constexpr std::uint8_t HyperPng = 12;
constexpr std::uint8_t Overlay = 13;
constexpr std::uint8_t Sound = 14;
constexpr std::uint8_t Unknown = 15;
constexpr std::uint8_t PngObject = 16;
constexpr std::uint8_t Abstract = 17;
constexpr std::uint8_t FileInfo = 18;
}  // namespace Kind

// Whether a node of the kind opens a window of its own (a web page: a view)
// when chosen: subjects, questions, comments, credits, the version and
// information nodes, TEXT and pictures. Links, overlays, sounds and old
// pictures act where they are.
bool HasOwnWindow(std::uint8_t kind);

// The program's table of kind names, indexed by kind code 0 to 17.
extern const char* const KindNames[18];

class TZEBObject {
 public:
  TZEBObject(std::string text, TZEBObject* owner, bool endsLine);
  virtual ~TZEBObject() = default;
  TZEBObject(const TZEBObject&) = delete;
  TZEBObject& operator=(const TZEBObject&) = delete;

  virtual std::string GetText() const;
  virtual void SetText(std::string text);
  virtual std::uint8_t KindCode() const;
  virtual bool IsNode() const;
  virtual int Open();

  // The C++ class name, for dumps of the tree.
  virtual const char* ClassName() const;

  // The topmost object reached by following Owner (this object when it has none).
  TZEBObject* Root();

  std::string Text;
  std::uint8_t EndsLine = 0;
  std::uint8_t IsRule = 0;
  std::uint8_t Wraps = 1;
  std::uint8_t UseFixedFont = 0;
  std::uint8_t SpaceAfter = 0;
  TZEBObject* Owner = nullptr;  // not owned
};

// A plain text item.
class THunkLine : public TZEBObject {
 public:
  THunkLine(std::string text, TZEBObject* owner);
  const char* ClassName() const override;
};
