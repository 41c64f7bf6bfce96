#pragma once
// The fixed texts the panel, the preferences and the welcome show for a shortcut, an opening action
// and an issue: one table, so the three views always name a thing alike.

#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightIssue.hpp"

#include <QString>
#include <QStringList>

namespace tidewright {

// The window action the shortcut performs, as the text that titles it.
TidewrightCopy shortcutTitle(FixedShortcut shortcut) noexcept;
// The key's glyph on its cap: an arrow for the arrow keys, the letter otherwise.
QString shortcutKeyGlyph(FixedShortcut shortcut);
// The key's name for accessibility ("Left Arrow").
TidewrightCopy shortcutKeyText(FixedShortcut shortcut) noexcept;
// The caps of the shortcut in order: Control, Option, the key glyph.
QStringList shortcutKeyCaps(FixedShortcut shortcut);

TidewrightCopy openingActionText(OpeningAction action) noexcept;

TidewrightCopy issueTitle(TidewrightIssue issue) noexcept;
TidewrightCopy issueNote(TidewrightIssue issue) noexcept;

} // namespace tidewright
