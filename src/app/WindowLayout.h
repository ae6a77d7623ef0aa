#pragma once

#include "jobs/BackupNames.h"
#include "jobs/JobWindow.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The windows' design layouts as data: every control of a window as one row (name, kind, place,
// caption, hint, font and a few looks), so that each front end (Qt, Win32) builds its widgets from
// the same rows and no front end repeats a number. Places are client-area pixels at design size,
// relative to the row's parent (a panel or group box) or to the client area.

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

enum class ControlKind {
    Panel,         // a raised, bevelled panel holding other controls
    Area,          // a flat area without bevel (filled in its colour when it has one)
    Label,         // static text
    Edit,          // a one-line text field
    Button,        // a push button
    CheckBox,
    RadioButton,
    GroupBox,      // a captioned frame holding other controls
    TextBox,       // read-only text of several lines (its caption), not wrapped
    RichText,      // a read-only pane of coloured lines, both scroll bars, not wrapped (but see
                   // ControlRow::WrapLines)
    ProgressBar,   // 0 to 100
    Image,         // a picture the front end draws
    Menu,          // a drop-down menu of the menu bar
    MenuItem,      // an item of its parent menu, or a command of the menu bar itself (no parent)
    MenuSeparator,
};

enum class FontFace {
    Design, // "MS Sans Serif": the platform's user-interface font
    Fixed,  // "Courier New": the platform's fixed-pitch font
};

struct Font {
    FontFace face = FontFace::Design;
    int pixels = 0; // 0: the window's font
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// A label's text colour, an area's fill, or a job log line's colour.
enum class Colour { Default, Navy, Maroon, White, Black, Red, Blue, Green };

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
// Navy and maroon are the system palette's half-intensity blue and red. Default stands for the
// system's own colour of the control, which the front end takes.
constexpr Rgb rgbOf(Colour colour) {
    switch (colour) {
    case Colour::Navy: return {0, 0, 128};
    case Colour::Maroon: return {128, 0, 0};
    case Colour::White: return {255, 255, 255};
    case Colour::Red: return {255, 0, 0};
    case Colour::Blue: return {0, 0, 255};
    case Colour::Green: return {0, 128, 0};
    case Colour::Black:
    case Colour::Default: break;
    }
    return {};
}

// Whether a named colour stands out from a background well enough to be read (a contrast ratio
// of at least 3:1). A front end shows a named text colour on a background of the system's only
// then, and the system's text colour otherwise, so that nothing vanishes in a High Contrast or
// dark colour scheme. Default never stands out: it is the system's colour already.
bool standsOut(Colour named, const Rgb& background);

enum class Align { Left, Centre, Right };

// The room a caption needs in a push button besides its text (bevel and padding). The platforms'
// fonts run wider than the design's: a front end gives a button's caption a font a pixel smaller
// at a time (down to kSmallestCaptionPixels) until it fits.
inline constexpr int kButtonPadding = 8;
inline constexpr int kSmallestCaptionPixels = 8;

struct ControlRow {
    enum Flag : unsigned {
        Hidden = 1u << 0,        // not shown (in this layout)
        Unseen = 1u << 1,        // never drawn: only carries a value between load and collect
        NoToolTip = 1u << 2,     // the hint is kept but not shown as a tool tip
        NoTabStop = 1u << 3,     // focus by a click only
        NoFocus = 1u << 4,       // never takes the focus
        Borderless = 1u << 5,    // a text field without its border
        ReadOnly = 1u << 6,
        GroupStart = 1u << 7,    // the first radio button of its group
        DefaultButton = 1u << 8, // the button Enter presses
        Checkable = 1u << 9,     // a menu item with a check mark
        WrapLines = 1u << 10,    // a rich text pane that wraps a long line at its width, the
                                 // rest of the line indented by kWrapIndentColumns (no
                                 // horizontal scroll bar)
    };

    std::string name{};
    ControlKind kind = ControlKind::Label;
    std::string parent{}; // empty: the client area (for menus: the menu bar)
    Rect place{};
    std::string caption{};
    std::string hint{};
    Font font{};
    Colour colour = Colour::Default;
    Align align = Align::Left;
    int maxLength = 0; // text fields: at most this many characters; 0: no limit
    unsigned flags = 0;

    bool has(Flag flag) const { return (flags & flag) != 0; }
};

struct WindowLayout {
    enum class Frame {
        Main,   // single fixed border, system menu and minimise box
        Dialog, // caption only: no system buttons
    };

    std::string name{};    // the window's class name, "TfVcbPrg"
    std::string caption{}; // empty: set at run time
    Frame frame = Frame::Dialog;
    int clientWidth = 0;
    int clientHeight = 0;
    Font font{};
    std::vector<ControlRow> rows{}; // in creation and tab order; a parent before its children

    bool declares(std::string_view control) const;
    // The row of a declared control; an undeclared name is a programming error (see
    // requireDeclared).
    const ControlRow& row(std::string_view control) const;
    ControlRow& row(std::string_view control);
};

// --- the windows ---------------------------------------------------------------------------

// "Tessel v3.6": advanced mode offers two button rows and the option dialogs' menu items;
// without it the window is one row lower, "Prog Code" and "Verify Code" move up beside "Read VCB"
// and the block programming buttons and dialog items are hidden.
WindowLayout mainWindowLayout(bool advancedMode);

// The job window's three arrangements.
enum class JobLayoutMode {
    Design,  // block pane shown
    Narrow,  // a job with block pane outside advanced mode: the pane left out, the window closed up
    Compact, // a job without block pane: the log pane widened into the pane's place
};
WindowLayout jobWindowLayout(JobLayoutMode mode);
// The job window resized by the operator to a client area (never below its mode's size, the
// minimum): the panes take the room beyond the design (side by side they share the extra width)
// and grow down; the progress bar stays under the log pane, the buttons at the right edge.
WindowLayout jobWindowLayout(JobLayoutMode mode, int clientWidth, int clientHeight);

// How the job log draws a line of each style: plain in the system's text colour, errors red and
// bold, progress and questions blue and italic, success green.
struct LineLook {
    Colour colour = Colour::Default;
    bool bold = false;
    bool italic = false;
};
LineLook lineLook(LineStyle style);
// How far the rest of a wrapped line is indented, in characters of its pane's font: two more than
// the blank every job line begins with, so that each line's start stands out.
inline constexpr int kWrapIndentColumns = 3;

WindowLayout optionsDialogLayout();
WindowLayout scalesDialogLayout();
WindowLayout tiltCalibrationLayout();
// The program name and "Version: " + version are filled in at run time.
WindowLayout aboutWindowLayout();
// The about window's bottom line when it names the settings file in use: "Settings: PATH".
std::string settingsLine(std::string_view settingsPath);
// The Help menu's box: the heading as caption, the body (naming the program as it is started)
// preformatted, OK.
WindowLayout instructionsBoxLayout(std::string_view programName = "Tessel.exe");
// "Job History": the last jobs, one line each, in a read-only pane; at a larger client area the
// pane takes the room and the button stays in the lower right corner.
WindowLayout historyWindowLayout(int clientWidth = 0, int clientHeight = 0);

// A caption as shown without its accelerator mark: "&Read VCB" reads "Read VCB" ("&&" is "&").
std::string plainCaption(std::string_view caption);

// A file dialog's filter: its name and pattern, shown as "Hex files (*.hex)".
struct FileFilter {
    std::string_view name;
    std::string_view pattern;
};
inline constexpr FileFilter kAllFiles = {"All files", "*.*"};
// The firmware file dialog's filters, the second one preselected.
inline constexpr std::array<FileFilter, 3> kHexFileFilters = {{
    {"Hex files", "*.hex"},
    {"A90 Hex files", "*.a90"},
    kAllFiles,
}};
inline constexpr std::size_t kHexFilePreselected = 1;
// The backup file dialog's filters, the first one preselected.
inline constexpr std::array<FileFilter, 2> kBackupFileFilters = {{
    {kBackupFilesName, kBackupFilesPattern},
    kAllFiles,
}};

// --- declared controls ---------------------------------------------------------------------

// True when some window's layout declares the control.
bool isDeclaredControl(std::string_view control);

// A control name that no window declares is a programming error: the program stops here with the
// name, in every build (the tests reach every name the program uses).
void requireDeclared(std::string_view control);

} // namespace tessel
