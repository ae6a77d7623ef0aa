#include "app/WindowLayout.h"

namespace tessel {

namespace {

using K = ControlKind;
using F = ControlRow::Flag;

constexpr Font kButtonFont{FontFace::Design, 12, true};
constexpr Font kFormatFont{FontFace::Design, 12, false};

// Places after the start-up adjustments of an advanced window: the design's client area of 391 by
// 204 pixels made 40 lower, the button rows 55 pixels left and, with the identity panels, 30 up.
// The identity fields are 96 pixels wide instead of 65, so that 14 characters of the platform's
// font fit. "&" marks the Alt accelerator of a caption (the platform shows it underlined).
WindowLayout advancedLayout() {
    WindowLayout w{.name = "TfVcbPrg",
                   .frame = WindowLayout::Frame::Main,
                   .clientWidth = 391,
                   .clientHeight = 204 - 40,
                   .font = {FontFace::Design, 11, false}};
    w.rows = {
        {.name = "Panel2", .kind = K::Area, .place = {4, 1, 380, 2}, .colour = Colour::Navy},
        {.name = "pSerialNumber", .kind = K::Panel, .place = {60, 10, 240, 26},
         .hint = "Light Bar Serial Number"},
        {.name = "pSerialNumberCaption", .kind = K::Label, .parent = "pSerialNumber",
         .place = {2, 2, 136, 22}, .caption = "  S/N"},
        {.name = "memoSerialNumber", .kind = K::Edit, .parent = "pSerialNumber",
         .place = {140, 4, 96, 18}, .align = Align::Right, .maxLength = 14,
         .flags = F::Borderless | F::ReadOnly | F::NoFocus},
        {.name = "pProductName", .kind = K::Panel, .place = {60, 40, 240, 26},
         .hint = "Name of Light Bar Product"},
        {.name = "pProductNameCaption", .kind = K::Label, .parent = "pProductName",
         .place = {2, 2, 136, 22}, .caption = "  Product Name"},
        {.name = "memoProductName", .kind = K::Edit, .parent = "pProductName",
         .place = {140, 4, 96, 18}, .hint = "Right Click to see list", .align = Align::Right,
         .maxLength = 14, .flags = F::Borderless | F::ReadOnly | F::NoTabStop},
        {.name = "pVcbFormat", .kind = K::Area, .place = {300, 14, 55, 47}},
        {.name = "Label1", .kind = K::Label, .parent = "pVcbFormat", .place = {0, 2, 55, 14},
         .caption = "VCB", .font = kFormatFont, .colour = Colour::Maroon, .align = Align::Centre},
        {.name = "Label2", .kind = K::Label, .parent = "pVcbFormat", .place = {0, 17, 55, 14},
         .caption = "Format", .font = kFormatFont, .colour = Colour::Maroon,
         .align = Align::Centre},
        {.name = "lFormatNumber", .kind = K::Label, .parent = "pVcbFormat",
         .place = {0, 32, 55, 14}, .caption = "?", .font = kFormatFont, .colour = Colour::Maroon,
         .align = Align::Centre},
        {.name = "bReadVcb", .kind = K::Button, .place = {55, 80, 80, 30}, .caption = "&Read VCB",
         .hint = "Read the Veltrane Configuration Block from a connected Light Bar",
         .font = kButtonFont},
        {.name = "bProgVcb", .kind = K::Button, .place = {150, 80, 80, 30}, .caption = "&Prog VCB",
         .hint = "Program a connected Light Bar with the current Veltrane Configuration Block",
         .font = kButtonFont},
        {.name = "bVerifyVcb", .kind = K::Button, .place = {245, 80, 80, 30},
         .caption = "&Verify VCB",
         .hint = "Verify the Veltrane Configuration Block to a connected Light Bar",
         .font = kButtonFont},
        {.name = "bProgCode", .kind = K::Button, .place = {150, 120, 80, 30},
         .caption = "Pro&g Code", .hint = "Program a connected Light Bar with Firmware Code",
         .font = kButtonFont},
        {.name = "bVerifyCode", .kind = K::Button, .place = {245, 120, 80, 30},
         .caption = "Verify Co&de", .hint = "Verify Firmware Code to a connected Light Bar",
         .font = kButtonFont},
        // The hidden customer field carries the customer name between load and collect; the
        // hidden "VCB Format" submenu's items follow the format.
        {.name = "memoCustomerId", .kind = K::Edit, .maxLength = 14, .flags = F::Unseen},
        {.name = "mVcbFormat1", .kind = K::MenuItem, .caption = "1",
         .flags = F::Unseen | F::Checkable},
        {.name = "mVcbFormat2", .kind = K::MenuItem, .caption = "2",
         .flags = F::Unseen | F::Checkable},

        {.name = "mFile", .kind = K::Menu, .caption = "&File"},
        {.name = "mConvertVcbToFormat1", .kind = K::MenuItem, .parent = "mFile",
         .caption = "Convert VCB to Format &1"},
        {.name = "mConvertVcbToFormat2", .kind = K::MenuItem, .parent = "mFile",
         .caption = "Convert VCB to Format &2"},
        {.name = "mInitDefaultVcb", .kind = K::MenuItem, .parent = "mFile",
         .caption = "&Init Default VCB"},
        {.name = "mRestoreFromBackup", .kind = K::MenuItem, .parent = "mFile",
         .caption = "&Restore from Backup…"},
        {.name = "mProductionStation", .kind = K::MenuItem, .parent = "mFile",
         .caption = "Production &Station…"},
        {.name = "mFileSeparator", .kind = K::MenuSeparator, .parent = "mFile"},
        {.name = "mExit", .kind = K::MenuItem, .parent = "mFile", .caption = "E&xit"},
        {.name = "mComPort", .kind = K::Menu, .caption = "&COM Port"},
        {.name = "mCom1", .kind = K::MenuItem, .parent = "mComPort", .caption = "COM&1",
         .flags = F::Checkable},
        {.name = "mCom2", .kind = K::MenuItem, .parent = "mComPort", .caption = "COM&2",
         .flags = F::Checkable},
        {.name = "mCom3", .kind = K::MenuItem, .parent = "mComPort", .caption = "COM&3",
         .flags = F::Checkable},
        {.name = "mCom4", .kind = K::MenuItem, .parent = "mComPort", .caption = "COM&4",
         .flags = F::Checkable},
        {.name = "mShowAdvancedControls", .kind = K::MenuItem, .caption = "&Options"},
        {.name = "mShowTiltTempCal", .kind = K::MenuItem, .caption = "&Tilt Temp Cal"},
        {.name = "mShowOffsetScales", .kind = K::MenuItem, .caption = "Offset &Scales"},
        {.name = "mHelp", .kind = K::Menu, .caption = "&Help"},
        {.name = "mInstructions", .kind = K::MenuItem, .parent = "mHelp",
         .caption = "&Update Instructions"},
        {.name = "mPrintInstructions", .kind = K::MenuItem, .parent = "mHelp",
         .caption = "&Print Instructions"},
        {.name = "mHistory", .kind = K::MenuItem, .parent = "mHelp", .caption = "Job &History"},
        {.name = "mAbout", .kind = K::MenuItem, .parent = "mHelp", .caption = "&About"},
    };
    return w;
}

} // namespace

WindowLayout mainWindowLayout(bool advancedMode) {
    WindowLayout w = advancedLayout();
    if (advancedMode) return w;
    // The distance between the two button rows, measured before anything moves.
    const int rowDistance = w.row("bProgCode").place.top - w.row("bReadVcb").place.top;
    w.clientHeight -= rowDistance;
    for (const char* name : {"bProgVcb", "bVerifyVcb", "mShowAdvancedControls",
                             "mShowTiltTempCal", "mShowOffsetScales"})
        w.row(name).flags |= F::Hidden;
    for (const char* name : {"bProgCode", "bVerifyCode"}) w.row(name).place.top -= rowDistance;
    return w;
}

} // namespace tessel
