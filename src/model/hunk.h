#pragma once
// A node of the hint-file tree: one per hunk of the file. THunk itself is the
// class of hunks with an unrecognised keyword.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "model/zebobject.h"

class TItemsHunk;
class TLoadContext;

// What the model knows of a node's open window. The display implements it;
// the model only asks the window to close when the node goes.
class TNodeWindow {
 public:
  virtual ~TNodeWindow() = default;
  virtual void CloseNodeWindow() = 0;
};

class THunk : public TZEBObject {
 public:
  THunk(std::string title, TZEBObject* owner);
  ~THunk() override;

  std::uint8_t KindCode() const override;
  bool IsNode() const override;
  // Opens the node's window through OpenHandler; returns 0.
  int Open() override;
  const char* ClassName() const override;

  virtual std::string GetLabel() const;
  virtual THunk* FindByLine(std::int32_t number);
  virtual THunk* FindByTitle(const std::string& title);
  virtual void AssignLabels(const std::string& prefix);
  // Builds the node's printable form into a display document: its heading,
  // its lines, and the display of its child nodes.
  virtual void AppendDisplay(TItemsHunk& document);
  // The heading: outline number and title, with the blank lines before it.
  virtual void AppendHeading(TItemsHunk& document);
  // Writes the first count items (all when count is -1) as text wrapped at
  // 75 columns, with CR LF line ends.
  virtual void WriteText(std::ostream& out, int count) const;
  // End of the embedded data that the checksum may cover (GIFA and SOUND).
  virtual std::int64_t DataEnd() const;
  virtual int CloseWindow();
  virtual void LoadDeferredData(TLoadContext& context);
  virtual void RestoreHintsShown(std::string& record);
  virtual void SaveHintsShown(std::string& record) const;
  virtual void ResetHintsShown();
  virtual void SetHintsShown(std::int32_t count);
  virtual bool HintsShownValid() const;
  virtual std::int32_t GetHintsShown() const;
  // Appends a row of links to the results for this node and every node below
  // it whose own text holds the phrase (letters a to z in any case).
  virtual void Search(const std::string& phrase, TItemsHunk& results);

  // The root node of this node's tree (see TZEBObject::Root).
  THunk* RootNode();

  // Reads the body, lines 3 to LineCount, after the loader has read the
  // header and the title. This class reads and drops them.
  virtual void ReadBody(TLoadContext& context);

  // How the display opens a node's window; set once by the display.
  // Without it, Open does nothing.
  static std::function<void(THunk&)> OpenHandler;

  std::int32_t LineNumber = 0;
  std::int32_t LineCount = 0;
  TNodeWindow* Window = nullptr;  // not owned; set and cleared by the window
  std::string Label;
};
