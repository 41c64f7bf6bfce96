#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <array>
#include <cstddef>

namespace tidewright {

namespace {

struct ShortcutRow {
    TidewrightCopy title;
    char16_t glyph;
    TidewrightCopy keyText;
};

// In FixedShortcut order.
constexpr std::array<ShortcutRow, allFixedShortcuts.size()> shortcutRows{{
    {TidewrightCopy::leftHalf, u'\u2190', TidewrightCopy::leftKey},
    {TidewrightCopy::rightHalf, u'\u2192', TidewrightCopy::rightKey},
    {TidewrightCopy::maximize, u'\u2191', TidewrightCopy::upKey},
    {TidewrightCopy::nearlyMaximize, u'D', TidewrightCopy::dKey},
    {TidewrightCopy::maximumHeight, u'\u2193', TidewrightCopy::downKey},
    {TidewrightCopy::center, u'C', TidewrightCopy::cKey},
}};

const ShortcutRow& rowOf(FixedShortcut shortcut) noexcept {
    return shortcutRows[static_cast<std::size_t>(shortcut)];
}

} // namespace

TidewrightCopy shortcutTitle(FixedShortcut shortcut) noexcept { return rowOf(shortcut).title; }

QString shortcutKeyGlyph(FixedShortcut shortcut) { return QString(QChar(rowOf(shortcut).glyph)); }

TidewrightCopy shortcutKeyText(FixedShortcut shortcut) noexcept { return rowOf(shortcut).keyText; }

QStringList shortcutKeyCaps(FixedShortcut shortcut) {
    return {QString(QChar(u'\u2303')), QString(QChar(u'\u2325')), shortcutKeyGlyph(shortcut)};
}

TidewrightCopy openingActionText(OpeningAction action) noexcept {
    return action == OpeningAction::maximize ? TidewrightCopy::maximize : TidewrightCopy::center;
}

TidewrightCopy issueTitle(TidewrightIssue issue) noexcept {
    switch (issue) {
    case TidewrightIssue::operation: return TidewrightCopy::operationFailed;
    case TidewrightIssue::preferences: return TidewrightCopy::syncIssue;
    case TidewrightIssue::login: return TidewrightCopy::loginIssue;
    case TidewrightIssue::settings: return TidewrightCopy::settingsIssue;
    }
    return TidewrightCopy::operationFailed;
}

TidewrightCopy issueNote(TidewrightIssue issue) noexcept {
    switch (issue) {
    case TidewrightIssue::operation: return TidewrightCopy::operationFailedNote;
    case TidewrightIssue::preferences: return TidewrightCopy::syncIssueNote;
    case TidewrightIssue::login: return TidewrightCopy::loginIssueNote;
    case TidewrightIssue::settings: return TidewrightCopy::settingsIssueNote;
    }
    return TidewrightCopy::operationFailedNote;
}

} // namespace tidewright
