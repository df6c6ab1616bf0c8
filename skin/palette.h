// Every colour of the default skin, by the part it paints. The skin's painter (tools/skingen) and the views
// take their colours from here only, so the look is changed in one place.
#pragma once

#include <QColor>
#include <array>

namespace vornak::palette {

// The window: its body, border, the backdrop under the cut corners.
inline const QColor kBackdrop{0x0a, 0x0b, 0x0d};
inline const QColor kWindowTop{0x1a, 0x1d, 0x23};
inline const QColor kWindowBottom{0x0f, 0x11, 0x15};
inline const QColor kBorder{0x2f, 0x34, 0x3e};

// The accent (cyan), the mark of an assigned key (amber), danger (a close button under the pointer).
inline const QColor kAccent{0x22, 0xd3, 0xee};
inline const QColor kAccentLight{0xa5, 0xf3, 0xfc};
inline const QColor kAccentDeep{0x08, 0x91, 0xb2};
inline const QColor kAccentDark{0x0e, 0x5e, 0x73};
inline const QColor kSelect{0xf5, 0x9e, 0x0b};
inline const QColor kSelectLight{0xfc, 0xd3, 0x4d};
inline const QColor kDanger{0xe1, 0x1d, 0x48};

// Text, and the two extremes used for ink on a coloured face, highlights and shadows (with an alpha).
inline const QColor kText{0xe6, 0xe8, 0xee};
inline const QColor kTextDim{0x9a, 0xa1, 0xae};
inline const QColor kTextMuted{0x5b, 0x62, 0x70};
inline const QColor kWhite{0xff, 0xff, 0xff};
inline const QColor kBlack{0x00, 0x00, 0x00};

// Surfaces: the lighting panel, the key dialog's page, the recessed fields under combo boxes and lists.
inline const QColor kPanel{0x15, 0x18, 0x1d};
inline const QColor kPanelEdge{0x27, 0x2b, 0x33};
inline const QColor kPanelDivider{0x22, 0x26, 0x2d};
inline const QColor kPage{0x1b, 0x1e, 0x24};
inline const QColor kFieldTop{0x0a, 0x0c, 0x0f};
inline const QColor kField{0x0c, 0x0e, 0x12};
inline const QColor kFieldBorder{0x2c, 0x31, 0x3a};
// A groove cut into a surface: separators, unlit lamps, the slider track, the busy ring.
inline const QColor kGroove{0x24, 0x28, 0x2f};
inline const QColor kGrooveShadow{0x0a, 0x0b, 0x0e};

// The keyboard's case and the plate the keys sit in.
inline const QColor kCaseTop{0x22, 0x26, 0x2d};
inline const QColor kCaseBottom{0x16, 0x18, 0x1d};
inline const QColor kCaseEdge{0x31, 0x36, 0x40};
inline const QColor kPlateTop{0x0b, 0x0c, 0x0f};
inline const QColor kPlateBottom{0x0e, 0x10, 0x13};
inline const QColor kPlateEdge{0x08, 0x09, 0x0b};

// Key caps: the skirt (the cap's sides) and the face on top, in each look.
inline const QColor kCapSkirtTop{0x23, 0x26, 0x2d};
inline const QColor kCapSkirtBottom{0x12, 0x14, 0x18};
inline const QColor kCapEdge{0x30, 0x34, 0x3d};
inline const QColor kCapFaceTop{0x34, 0x38, 0x41};
inline const QColor kCapFaceBottom{0x28, 0x2b, 0x32};
inline const QColor kMacroCapFaceTop{0x2c, 0x35, 0x43};
inline const QColor kMacroCapFaceBottom{0x23, 0x2b, 0x37};
inline const QColor kColourCapFaceTop{0x4f, 0x54, 0x5f};  // the colour-mode pictures: light caps
inline const QColor kColourCapFaceBottom{0x40, 0x44, 0x4e};
inline const QColor kColourCapLegend{0xdd, 0xe1, 0xe7};
inline const QColor kCapOverSkirtTop{0x12, 0x3a, 0x44};
inline const QColor kCapOverSkirtBottom{0x0b, 0x22, 0x29};
inline const QColor kCapDownSkirtTop{0x0c, 0x1c, 0x21};
inline const QColor kCapDownFaceTop{0x1f, 0x23, 0x2a};
inline const QColor kCapDownFaceBottom{0x25, 0x29, 0x30};
inline const QColor kCapDisabledSkirtTop{0x18, 0x1a, 0x1e};
inline const QColor kCapDisabledSkirtBottom{0x12, 0x14, 0x17};
inline const QColor kCapDisabledEdge{0x22, 0x25, 0x2a};
inline const QColor kCapDisabledFaceTop{0x1f, 0x22, 0x27};
inline const QColor kCapDisabledFaceBottom{0x1c, 0x1f, 0x23};

// Raised controls (text buttons, segments, the lighting panel's tiles and switches), in each look.
inline const QColor kRaisedTop{0x2b, 0x2f, 0x37};
inline const QColor kRaisedBottom{0x21, 0x24, 0x2a};
inline const QColor kRaisedEdge{0x3a, 0x3f, 0x49};
inline const QColor kRaisedOverTop{0x33, 0x38, 0x43};
inline const QColor kRaisedOverBottom{0x29, 0x2d, 0x35};
inline const QColor kPressedTop{0x15, 0x18, 0x1d};
inline const QColor kPressedBottom{0x1c, 0x1f, 0x25};
inline const QColor kChosenTop{0x10, 0x41, 0x4d};
inline const QColor kChosenBottom{0x0b, 0x2f, 0x38};
inline const QColor kRaisedDisabledTop{0x1b, 0x1d, 0x22};
inline const QColor kRaisedDisabledBottom{0x18, 0x1a, 0x1e};
inline const QColor kRaisedDisabledEdge{0x26, 0x29, 0x30};
inline const QColor kTileTop{0x23, 0x27, 0x2e};
inline const QColor kTileBottom{0x1c, 0x1f, 0x25};
inline const QColor kTileEdge{0x33, 0x38, 0x43};
inline const QColor kSwitchOff{0x2a, 0x2e, 0x36};
inline const QColor kKnobOff{0x8b, 0x93, 0xa1};
inline const QColor kSliderKnob{0xf1, 0xf5, 0xf9};

// Primary buttons (Apply, OK, Record), in each look; recording shows red.
inline const QColor kPrimaryTop{0x12, 0xb3, 0xd3};
inline const QColor kPrimaryBottom{0x0a, 0x84, 0xa0};
inline const QColor kPrimaryOverTop{0x3c, 0xd6, 0xef};
inline const QColor kPrimaryOverBottom{0x0e, 0xa5, 0xc6};
inline const QColor kPrimaryDownTop{0x08, 0x6f, 0x83};
inline const QColor kPrimaryDownBottom{0x0a, 0x63, 0x75};
inline const QColor kRecordingTop{0xf4, 0x3f, 0x5e};
inline const QColor kRecordingBottom{0xbe, 0x12, 0x3c};
inline const QColor kRecordingEdge{0xfd, 0xa4, 0xaf};
inline const QColor kPrimaryDisabledTop{0x24, 0x2e, 0x36};
inline const QColor kPrimaryDisabledBottom{0x1f, 0x27, 0x2d};
inline const QColor kPrimaryDisabledEdge{0x2c, 0x38, 0x41};

// The key dialog's tabs; icon buttons; the title badges; the layer lamp's plate.
inline const QColor kTabTop{0x18, 0x1b, 0x20};
inline const QColor kTabBottom{0x15, 0x17, 0x1c};
inline const QColor kTabEdge{0x26, 0x2a, 0x31};
inline const QColor kTabOverTop{0x20, 0x24, 0x2b};
inline const QColor kTabOverBottom{0x1b, 0x1e, 0x24};
inline const QColor kTabOverEdge{0x35, 0x3b, 0x46};
inline const QColor kTabDisabled{0x12, 0x14, 0x17};
inline const QColor kTabDisabledEdge{0x1a, 0x1c, 0x20};
inline const QColor kIconOver{0x2b, 0x30, 0x3a};
inline const QColor kIconOverEdge{0x3a, 0x40, 0x4b};
inline const QColor kBadgeTop{0x10, 0x3f, 0x4b};
inline const QColor kBadgeBottom{0x0a, 0x27, 0x30};
inline const QColor kLampPlateTop{0x1c, 0x1f, 0x25};
inline const QColor kLampPlateBottom{0x15, 0x17, 0x1b};
inline const QColor kLampPlateEdge{0x2c, 0x30, 0x39};

// The lighting panel's preset colours and the colourful switch's rainbow.
inline const QColor kPresetRed{0xef, 0x44, 0x44};
inline const QColor kPresetYellow{0xfa, 0xcc, 0x15};
inline const QColor kPresetGreen{0x22, 0xc5, 0x5e};
inline const QColor kPresetBlue{0x3b, 0x82, 0xf6};
inline const std::array<QColor, 6> kRainbow = {QColor(0xef, 0x44, 0x44), QColor(0xf5, 0x9e, 0x0b),
                                               QColor(0x22, 0xc5, 0x5e), QColor(0x06, 0xb6, 0xd4),
                                               QColor(0x63, 0x66, 0xf1), QColor(0xd9, 0x46, 0xef)};

// The controls the views make in Qt over the skin's pictures: fields, lists and their headers, labels, the
// macro memory meter.
inline const QColor kSelection{0x0e, 0x4a, 0x58};  // a selected row, in lists and drop-downs
inline const QColor kPopup{0x14, 0x17, 0x1c};      // the key dialog's drop-down lists
inline const QColor kLabel{0xe4, 0xe4, 0xe4};      // labels beside the controls, the scene menu's captions
inline const QColor kListText{0xc9, 0xce, 0xd6};   // the rows of lists, the update dialog's path
inline const QColor kGreyText{0x6b, 0x72, 0x80};   // recorded rows and disabled fields
inline const QColor kDimmedCaption{0x6b, 0x71, 0x7c};  // a disabled button's caption in the key dialog
inline const QColor kHeader{0x1f, 0x23, 0x2a};         // list headers
inline const QColor kAlternateRow{0x11, 0x14, 0x1a};
inline const QColor kCheckBorder{0x5a, 0x62, 0x70};  // an unchecked box in the scene dialog
inline const QColor kMeterWarning{0xe8, 0xa3, 0x17};
inline const QColor kMeterOver{0xe0, 0x3c, 0x4a};

// The previews: the desk the windows lie on, and the sample colours of the colour buttons the program makes
// (its own default red, white, and two user colours).
inline const QColor kDeskTop{0x4b, 0x55, 0x63};
inline const QColor kDeskBottom{0x2d, 0x33, 0x3d};
inline const QColor kSampleRed{0xff, 0x00, 0x00};
inline const QColor kSampleWhite{0xff, 0xff, 0xff};
inline const QColor kSampleAccent{0x22, 0xd3, 0xee};
inline const QColor kSamplePink{0xff, 0x3d, 0x7f};

}  // namespace vornak::palette
