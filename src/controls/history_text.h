// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QMarginsF>
#include <QString>
#include <QStringView>

namespace vantor {

// What a history shows of an entry's text, apart from the box that shows it.

// Combining marks past this many on one character are left out of what is shown (the log and
// the debug dump keep them): thousands of them stack into a tower over the lines above.
inline constexpr int kMarksShown = 8;

// Takes out the marks past kMarksShown on each character and returns the most that are left on
// one. Format characters (joiners, tags) do not start a character of their own, so they cannot
// split one tower into many.
int CapMarks(QString& text);

// How far the marks of a line reach above its top and below its bottom in font.
QMarginsF MarkReach(const QString& text, const QFont& font);

// Where the web address whose text goes on at from ends: at the first space, or at a closing
// bracket that closes nothing the address opened. A final ".", ",", "!" and the like is the
// sentence's, not the address's; a closing bracket stays only when it closes one of its own.
qsizetype LinkEnd(const QString& body, qsizetype from);

// Whether a body may hold a web address at all: "://" or "www.", in any case. Most lines hold
// none, and this rules them out before the address pattern runs.
bool MayHoldAddress(QStringView body);

}  // namespace vantor
