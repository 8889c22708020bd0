// Why the block-device layer or the UFS reader last failed. Their messages go to the
// platform's debug output, which the user of a handheld never sees, so they also keep
// the reason of a failure here for the UFS source to show on the Console.
#pragma once

#include <cstddef>

#include "console/format.h"
#include "platform/queries.h"

/// Room for one note, terminator included; a longer one is cut.
inline constexpr std::size_t failureNoteUnits = 200;

/// The latest note, ending in a line feed; empty when none was kept since the last
/// clearFailureNote(). The layers run on one thread, one device at a time.
const char16_t* failureNote();
void clearFailureNote();
/// Replaces the note with `text`.
void setFailureNote(const char16_t* text);
/// Adds `text` to the end of the note, as far as it fits.
void addToFailureNote(const char16_t* text);

/// Formats a failure's reason and keeps it as the note, without writing it anywhere.
template <class... Args>
void keepFailureNote(console::FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
    char16_t text[failureNoteUnits];
    console::format<Args...>(text, failureNoteUnits, format, args...);
    setFailureNote(text);
}

/// Formats a failure's message, writes it to the debug output and keeps it as the note.
template <class... Args>
void noteFailure(console::FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
    char16_t text[failureNoteUnits];
    if (console::format<Args...>(text, failureNoteUnits, format, args...) == 0) return;
    platform::debugOutput(text);
    setFailureNote(text);
}
