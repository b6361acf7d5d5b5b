// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>

class QAbstractScrollArea;

namespace vantor {

namespace theme {

// The windows' dark-red look.
inline constexpr QColor kDarkRed{64, 0, 0};      // boxes and fields
inline constexpr QColor kDeepRed{40, 0, 0};      // scroll bar tracks
inline constexpr QColor kBlackRed{32, 0, 0};     // the main window's buddy list
inline constexpr QColor kBand{128, 0, 0};        // heading bands
inline constexpr QColor kOrange{255, 128, 0};    // text on the dark red and in lists
inline constexpr QColor kDimOrange{128, 64, 0};  // frames of boxes, text switched off
inline constexpr QColor kEmber{160, 80, 0};      // scroll bar handles, frames of fields
inline constexpr QColor kHeaderRule{96, 48, 0};  // the line under a list's header
inline constexpr QColor kWhite{255, 255, 255};   // captions, chosen and marked rows
inline constexpr QColor kBlack{0, 0, 0};         // list backgrounds
inline constexpr QColor kGrey{128, 128, 128};    // fields switched off
inline constexpr QColor kDarkGrey{64, 64, 64};   // the chat's send box while it cannot send
inline constexpr QColor kGold{255, 200, 40};     // the operator mark
inline constexpr QColor kEarlierText{170, 130,
                                     110};          // a conversation's earlier lines, from its log
inline constexpr QColor kFindMatch{110, 80, 0};     // matches of the find bar
inline constexpr QColor kFindCurrent{200, 140, 0};  // the match the find bar is on
inline constexpr QColor kHint{255, 200, 120};       // a field's hint, why a character was refused

// The debug window's entries by kind, and the connection tag before them.
inline constexpr QColor kLogErrorText{150, 0, 0};
inline constexpr QColor kLogNoteText{0, 150, 0};
inline constexpr QColor kLogSentText{50, 50, 150};
inline constexpr QColor kLogHandledText{150, 0, 150};
inline constexpr QColor kLogReplyText{0, 150, 150};  // start and end of a multi-line reply
inline constexpr QColor kLogInterceptedText{150, 150, 0};
inline constexpr QColor kLogUnhandledText{0, 0, 0};
inline constexpr QColor kLogTagText{100, 100, 0};

// The shades of the painted artwork (tools/artgen): buttons, pointer, background, banner, icon.
namespace paint {
inline constexpr QColor kButtonEdge{24, 0, 0};
inline constexpr QColor kInsetShadow{24, 0, 0, 160};
inline constexpr QColor kFaceTop{168, 24, 8};  // also the icon's top
inline constexpr QColor kFaceBottom{80, 0, 0};
inline constexpr QColor kPressedTop{48, 0, 0};
inline constexpr QColor kPressedBottom{104, 8, 0};
inline constexpr QColor kOffTop{96, 84, 84};
inline constexpr QColor kOffBottom{64, 56, 56};
inline constexpr QColor kBevelLight{255, 160, 64};
inline constexpr QColor kOffBevelLight{128, 120, 120};
inline constexpr QColor kOffBevelDark{40, 36, 36};
inline constexpr QColor kWordShadow{0, 0, 0, 200};
inline constexpr QColor kOffWord{176, 168, 168};
inline constexpr QColor kWeave{80, 6, 2};
inline constexpr QColor kWeaveDark{54, 0, 0};
inline constexpr QColor kBannerTop{150, 10, 0};
inline constexpr QColor kChevron{255, 128, 0, 40};
inline constexpr QColor kMarkShadow{0, 0, 0, 170};
// The buddy list's status icons.
inline constexpr QColor kStatusEdge{0, 0, 0, 210};
inline constexpr QColor kStatusOnline{70, 210, 80};
inline constexpr QColor kStatusOffline{150, 140, 140};
inline constexpr QColor kStatusHiding{160, 160, 230};
inline constexpr QColor kStatusChat{255, 190, 80};
inline constexpr QColor kStatusGame{80, 160, 255};
inline constexpr QColor kStatusUnknown{190, 170, 160};
}  // namespace paint

}  // namespace theme

// Style sheets over the colours above, for what a palette does not reach. Text in `colour`
// straight on a window's background picture:
QString TextStyle(const QColor& colour = theme::kOrange, bool bold = false);
// A line edit: orange on dark red in an ember frame; a password shows as stars.
QString FieldStyle();
// A plain push button beside the image buttons: orange on dark red, its frame white with focus.
QString PushButtonStyle();

// Gives a list or history box scroll bars in the windows' dark-red theme instead of the
// platform's light ones. Only the scroll bars are styled, so the box keeps its own palette.
void ThemeScrollBars(QAbstractScrollArea* area);

}  // namespace vantor
