// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

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

// The debug window's entries by kind, and the connection tag before them.
inline constexpr QColor kLogErrorText{150, 0, 0};
inline constexpr QColor kLogNoteText{0, 150, 0};
inline constexpr QColor kLogSentText{50, 50, 150};
inline constexpr QColor kLogHandledText{150, 0, 150};
inline constexpr QColor kLogReplyText{0, 150, 150};  // start and end of a multi-line reply
inline constexpr QColor kLogInterceptedText{150, 150, 0};
inline constexpr QColor kLogUnhandledText{0, 0, 0};
inline constexpr QColor kLogTagText{100, 100, 0};

}  // namespace theme

// Gives a list or history box scroll bars in the windows' dark-red theme instead of the
// platform's light ones. Only the scroll bars are styled, so the box keeps its own palette.
void ThemeScrollBars(QAbstractScrollArea* area);

}  // namespace vantor
