// The user-interface role: message boxes answered by the machine's policy.
#include <string>

#include "platform/ui.h"
#include "sandbox/Machine.h"
#include "sandbox/StringResources.h"

namespace platform {

std::int32_t messageBox(WindowHandle owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
    sandbox::Machine& m = sandbox::machine();
    sandbox::MessageBoxRecord box{owner, text != nullptr ? text : u"", caption != nullptr ? caption : u"", style,
                                  (style & 0x0F) == boxYesNo ? m.defaultYesNoAnswer : answerOk};
    if (!m.boxAnswers.empty()) {
        box.answer = m.boxAnswers.front();
        m.boxAnswers.pop_front();
    } else if (m.boxPolicy) {
        box.answer = m.boxPolicy(box);
    }
    m.boxes.push_back(box);
    return box.answer;
}

void updateWindow(WindowHandle) { ++sandbox::machine().windowUpdates; }

std::int32_t loadString(std::uint32_t id, char16_t* buffer, std::int32_t capacity) {
    const char16_t* text = sandbox::stringResource(id);
    if (text == nullptr || buffer == nullptr || capacity <= 0) return 0;
    std::u16string_view view(text);
    std::size_t length = view.size() < static_cast<std::size_t>(capacity) ? view.size() : static_cast<std::size_t>(capacity) - 1;
    view.copy(buffer, length);
    buffer[length] = 0;
    return static_cast<std::int32_t>(length);
}

}  // namespace platform
