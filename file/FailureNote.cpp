#include "file/FailureNote.h"

namespace {

char16_t note[failureNoteUnits] = {};

}  // namespace

const char16_t* failureNote() { return note; }

void clearFailureNote() { note[0] = 0; }

void setFailureNote(const char16_t* text) {
    clearFailureNote();
    addToFailureNote(text);
}

void addToFailureNote(const char16_t* text) {
    std::size_t end = 0;
    while (note[end] != 0) ++end;
    for (std::size_t i = 0; text != nullptr && text[i] != 0 && end + 1 < failureNoteUnits; ++i) note[end++] = text[i];
    note[end] = 0;
}
