// The rename window's 31 controls, declared once and in tab order: what each
// is, where it sits, how it looks and reads, which member of the window it
// fills and what a click on it does. The window builds itself from this
// table; the start-up benchmark's bare window builds the same controls from it.
#pragma once

#include <algorithm>
#include <iterator>
#include <variant>

#include "platform/text/text.h"
#include "transform/name_functions.h"

class QComboBox;
class QLabel;
class QWidget;

namespace velmora {

class TextBox;

enum class Kind { ReadOnlyText, Text, Button, Label, Picture, List, Banner, BannerLabel };

/// Fonts are asked for by family; the fall-backs are the closest shapes a
/// Linux desktop usually has (Verdana is wide, Tahoma narrow).
enum class Face { Default, Verdana, Tahoma };
inline constexpr const char* kVerdanaFamilies[] = {"Verdana", "DejaVu Sans", "Bitstream Vera Sans",
                                                   "Liberation Sans", "Arial"};
inline constexpr const char* kTahomaFamilies[] = {"Tahoma", "DejaVu Sans Condensed", "Liberation Sans Narrow",
                                                  "Arial Narrow", "DejaVu Sans"};

/// What a click on a control does when it is one of the window's own
/// handlers (they need the window's state: the file, the clipboard, the shell).
enum class Click {
  None,
  Cancel,
  Rename,
  Run,
  Copy,
  Cut,
  Delete,
  Paste,
  Restore,
  HtmlTitle,
  TextTitle,
};

/// A name command: a pure function of the whole base name, written back to
/// the field. Some write back only a result that holds something, so that a
/// name of symbols alone is not wiped out.
struct Rewrite {
  Text (*apply)(TextView) = nullptr;
  bool onlyNonEmpty = false;
};

/// The controls the window's handlers use by name.
struct WindowControls {
  QWidget* picTitle = nullptr;
  QLabel* lblTitle = nullptr;
  TextBox* txtFileName = nullptr;
  TextBox* txtFileTitle = nullptr;
  TextBox* txtFileBaseName = nullptr;
  TextBox* txtFileExt = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* cboWords = nullptr;
};

/// The member of WindowControls a control fills, of its own type; none for
/// the controls that only ever act through their click.
using Fills = std::variant<std::monostate, QWidget* WindowControls::*, QLabel* WindowControls::*,
                           TextBox* WindowControls::*, QComboBox* WindowControls::*>;

struct Rect {
  int x, y, width, height;
};

struct Control {
  const char* name;  ///< the object name, as the design names the control
  Kind kind;
  Rect rect;                  ///< pixels (twips / 15); lblTitle's relative to the banner
  const char* caption = "";   ///< the caption, or a picture button's image
  const char* tooltip = "";
  Face face = Face::Default;  ///< Default keeps the window's font
  double points = 0;
  bool bold = false;
  /// What assistive technology calls a control without a caption of its own
  /// (a picture button goes by its tooltip).
  const char* accessibleName = "";
  /// What a command does, for assistive technology (its accessible
  /// description): a caption such as "- to _" says little read aloud.
  const char* description = "";
  Fills fills = {};
  Click click = Click::None;
  Rewrite rewrite = {};
};

inline constexpr Control kControls[] = {
    {.name = "txtFileName", .kind = Kind::ReadOnlyText, .rect = {8, 32, 757, 27}, .face = Face::Verdana,
     .points = 9.75, .accessibleName = "Full path", .fills = &WindowControls::txtFileName},
    {.name = "cmdCancel", .kind = Kind::Button, .rect = {680, 316, 125, 25}, .caption = "Cancel",
     .face = Face::Verdana, .points = 9.75, .click = Click::Cancel},
    {.name = "txtFileTitle", .kind = Kind::ReadOnlyText, .rect = {8, 68, 793, 27}, .face = Face::Verdana,
     .points = 9.75, .accessibleName = "File name", .fills = &WindowControls::txtFileTitle},
    {.name = "txtFileBaseName", .kind = Kind::Text, .rect = {8, 144, 721, 27}, .face = Face::Tahoma,
     .points = 9.75, .accessibleName = "Base name", .fills = &WindowControls::txtFileBaseName},
    {.name = "txtFileExt", .kind = Kind::Text, .rect = {744, 144, 57, 27}, .face = Face::Tahoma, .points = 9.75,
     .accessibleName = "Extension", .fills = &WindowControls::txtFileExt},
    {.name = "btnTrim", .kind = Kind::Button, .rect = {12, 184, 69, 29}, .caption = "Trim", .face = Face::Verdana,
     .points = 8.25, .bold = true, .description = "Remove the spaces at both ends of the base name", .rewrite = {Trim}},
    {.name = "btnLCase", .kind = Kind::Button, .rect = {84, 220, 69, 29}, .caption = "abc", .tooltip = "Lowercase",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Make every letter of the base name lowercase", .rewrite = {LCase}},
    {.name = "btnUCase", .kind = Kind::Button, .rect = {12, 220, 69, 29}, .caption = "ABC", .tooltip = "Uppercase",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Make every letter of the base name uppercase", .rewrite = {UCase}},
    {.name = "btnTitleCase", .kind = Kind::Button, .rect = {156, 220, 69, 29}, .caption = "Abc Def",
     .tooltip = "Title Case", .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Start every word of the base name with a capital letter", .rewrite = {ProperCase}},
    {.name = "Label1", .kind = Kind::Label, .rect = {734, 144, 7, 23}, .caption = ".", .face = Face::Verdana,
     .points = 14.25, .bold = true},
    {.name = "cmdRename", .kind = Kind::Button, .rect = {540, 316, 129, 25}, .caption = "Rename!",
     .face = Face::Verdana, .points = 9.75, .click = Click::Rename},
    {.name = "btnSentenceCase", .kind = Kind::Button, .rect = {228, 220, 69, 29}, .caption = "Abc def",
     .tooltip = "Sentence Case", .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Start the base name with a capital letter and make the rest lowercase", .rewrite = {SentenceCase}},
    {.name = "btnCompSpc", .kind = Kind::Button, .rect = {84, 184, 69, 29}, .caption = "Compact Spc",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Replace every run of spaces in the base name with one space", .rewrite = {CompactSpaces}},
    {.name = "btnHtmlTitle", .kind = Kind::Button, .rect = {12, 256, 109, 29}, .caption = "HTML Title",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Take the base name from the title of the HTML page", .click = Click::HtmlTitle},
    {.name = "picDel", .kind = Kind::Picture, .rect = {92, 120, 20, 20}, .caption = ":/icons/delete.rgba",
     .tooltip = "Delete", .click = Click::Delete},
    {.name = "picCut", .kind = Kind::Picture, .rect = {8, 120, 20, 20}, .caption = ":/icons/cut.rgba",
     .tooltip = "Cut", .click = Click::Cut},
    {.name = "picCopy", .kind = Kind::Picture, .rect = {36, 120, 20, 20}, .caption = ":/icons/copy.rgba",
     .tooltip = "Copy", .click = Click::Copy},
    {.name = "picPaste", .kind = Kind::Picture, .rect = {64, 120, 20, 20}, .caption = ":/icons/paste.rgba",
     .tooltip = "Paste", .click = Click::Paste},
    {.name = "btnUnescape", .kind = Kind::Button, .rect = {148, 308, 109, 29}, .caption = "Unescape %nn",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Decode the %nn escapes of the base name, such as %20 for a space", .rewrite = {UnescapePercent, true}},
    {.name = "btnRefresh", .kind = Kind::Picture, .rect = {120, 120, 20, 20}, .caption = ":/icons/refresh.rgba",
     .tooltip = "Restore name", .click = Click::Restore},
    {.name = "Command1", .kind = Kind::Button, .rect = {332, 188, 69, 29}, .caption = "- to _",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Replace every hyphen with an underscore", .rewrite = {DashToUnderscore}},
    {.name = "Command2", .kind = Kind::Button, .rect = {156, 184, 69, 29}, .caption = "Remove Spc",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Remove every space from the base name", .rewrite = {RemoveSpaces}},
    {.name = "Command3", .kind = Kind::Button, .rect = {404, 188, 69, 29}, .caption = "_ to -",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Replace every underscore with a hyphen", .rewrite = {UnderscoreToDash}},
    {.name = "btnRemoveNonAlpha", .kind = Kind::Button, .rect = {12, 300, 133, 37},
     .caption = "Remove non alphanumeric", .face = Face::Verdana, .points = 8.25, .bold = true,
     .description = "Remove every character that is not a letter, a digit or a space", .rewrite = {RemoveNonAlphanumericTrimmed, true}},
    // A fixed font like the other captions: the system's may be too large for the box.
    {.name = "cmdExec", .kind = Kind::Button, .rect = {772, 32, 33, 29}, .caption = "run", .face = Face::Verdana,
     .points = 8.25, .click = Click::Run},
    {.name = "btnTextFile", .kind = Kind::Button, .rect = {124, 256, 109, 29}, .caption = "Text Title",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Take the base name from the first usable line of the file", .click = Click::TextTitle},
    {.name = "cmdCamelCase", .kind = Kind::Button, .rect = {264, 308, 109, 29}, .caption = "split CamelCase",
     .face = Face::Verdana, .points = 8.25, .bold = true, .description = "Put a space before every capital letter inside a word", .rewrite = {SplitCamelCase, true}},
    {.name = "cboWords", .kind = Kind::List, .rect = {588, 248, 205, 21}, .face = Face::Verdana, .points = 8.25,
     .fills = &WindowControls::cboWords},
    {.name = "Label2", .kind = Kind::Label, .rect = {588, 232, 104, 13}, .caption = "Often used names",
     .face = Face::Verdana, .points = 8.25, .fills = &WindowControls::Label2},
    {.name = "picTitle", .kind = Kind::Banner, .rect = {0, 0, 811, 25}, .fills = &WindowControls::picTitle},
    {.name = "lblTitle", .kind = Kind::BannerLabel, .rect = {8, 4, 389, 16}, .face = Face::Tahoma,
     .points = 11.25, .fills = &WindowControls::lblTitle},
};

/// Whether a row fills a member of the type its kind makes, so that the
/// window's cast of the new widget to that type is right.
constexpr bool FillsItsKind(const Control& control) {
  if (std::holds_alternative<std::monostate>(control.fills)) return true;
  switch (control.kind) {
    case Kind::ReadOnlyText:
    case Kind::Text: return std::holds_alternative<TextBox* WindowControls::*>(control.fills);
    case Kind::Label:
    case Kind::BannerLabel: return std::holds_alternative<QLabel* WindowControls::*>(control.fills);
    case Kind::List: return std::holds_alternative<QComboBox* WindowControls::*>(control.fills);
    case Kind::Banner: return std::holds_alternative<QWidget* WindowControls::*>(control.fills);
    case Kind::Button:
    case Kind::Picture: return false;  // buttons act through their click only
  }
  return false;
}
static_assert(std::all_of(std::begin(kControls), std::end(kControls), FillsItsKind),
              "a control fills a member of another type than its kind makes");

}  // namespace velmora
