#include "cli/HeadlessPages.h"

#include <charconv>
#include <cstring>

#include "host/CodePage.h"

namespace {

std::u16string decimal(std::int64_t value) {
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

/// The value of decimal text, as the pages read their edits; 0 when it is no number.
std::int32_t readDecimal(const std::u16string& text, std::size_t limit) {
    std::string narrow;
    for (char16_t c : text.substr(0, limit)) narrow += c < 128 ? static_cast<char>(c) : '?';
    std::int32_t value = 0;
    std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    return value;
}

/// The serial speed entry shown for a saved speed: the first equal one, else the first.
std::u16string speedEntry(std::uint32_t speed) {
    for (std::uint32_t entry : {9600u, 19200u, 115200u}) {
        if (entry == speed) return decimal(entry);
    }
    return u"9600";
}

bool parseFlag(const std::string& value, std::uint32_t& flag) {
    if (value == "1" || value == "on" || value == "yes" || value == "true") {
        flag = 1;
    } else if (value == "0" || value == "off" || value == "no" || value == "false") {
        flag = 0;
    } else {
        return false;
    }
    return true;
}

bool parseRootDevice(const std::string& value, std::uint32_t& device) {
    const char* names[] = {"wd", "sd", "md", "nfs"};
    for (std::uint32_t i = 0; i < 4; ++i) {
        if (value == names[i] || value == std::to_string(i)) {
            device = i;
            return true;
        }
    }
    return false;
}

bool parsePlatform(const BootMenu& menu, const std::string& value, std::int32_t& index) {
    std::u16string wanted = host::fromUtf8(value);
    for (std::int32_t i = 0; const char16_t* name = menu.platformName(i); ++i) {
        if (wanted == name) {
            index = i;
            return true;
        }
    }
    return false;
}

}  // namespace

HeadlessPages::HeadlessPages(BootMenu& menu) : menu_(menu) {
    const Preferences& p = menu.preferences;
    char16_t directory[Preferences::textUnits] = {};
    menu.directoryEntry(menu.currentDirectoryIndex(), directory);
    controls.directory = directory;
    controls.kernelName = p.kernelNameSaved != 0 ? std::u16string(recordText(p.kernelName)) : u"korvel.gz";
    controls.platform = menu.currentPlatformIndex();
    controls.rootDevice = p.rootDevice < 4 ? p.rootDevice : 0;
    controls.askName = p.askName != 0;
    controls.kernelDebugger = p.kernelDebugger != 0;
    controls.verbose = p.verbose != 0;
    controls.singleUser = p.singleUser != 0;
    controls.serialConsole = p.serialConsole != 0;
    controls.rootImageName = recordText(p.rootImageName);
    controls.serialSpeed = speedEntry(p.serialSpeed);
    controls.autoBoot = p.autoBootSeconds != 0;
    if (controls.autoBoot) controls.autoBootSeconds = decimal(p.autoBootSeconds);
    controls.reverseVideo = p.reverseVideo != 0;
    controls.pauseBeforeBoot = p.pauseBeforeBoot != 0;
    controls.loadDebugInfo = p.loadDebugInfo != 0;
    controls.safetyMessage = p.safetyMessage != 0;
    controls.extraKernelOptions = recordText(p.extraKernelOptions);
}

bool HeadlessPages::edit(const std::string& assignment, std::string& error) {
    std::size_t equals = assignment.find('=');
    if (equals == std::string::npos) {
        error = "expected FIELD=VALUE, got \"" + assignment + "\"";
        return false;
    }
    std::string field = assignment.substr(0, equals);
    std::string value = assignment.substr(equals + 1);
    std::u16string text = host::fromUtf8(value);
    PageControls& c = controls;

    struct Text {
        const char* name;
        std::u16string PageControls::*control;
        std::size_t units;
    };
    const Text texts[] = {{"kernelDirectory", &PageControls::directory, 259},
                          {"kernelName", &PageControls::kernelName, 259},
                          {"rootImageName", &PageControls::rootImageName, 259},
                          {"extraKernelOptions", &PageControls::extraKernelOptions, 255}};
    for (const Text& t : texts) {
        if (field != t.name) continue;
        if (text.size() > t.units) {
            error = field + " holds at most " + std::to_string(t.units) + " characters";
            return false;
        }
        c.*t.control = text;
        return true;
    }

    struct Flag {
        const char* name;
        std::uint32_t PageControls::*control;
    };
    const Flag flags[] = {{"serialConsole", &PageControls::serialConsole}, {"verbose", &PageControls::verbose},
                          {"singleUser", &PageControls::singleUser},       {"askName", &PageControls::askName},
                          {"kernelDebugger", &PageControls::kernelDebugger}, {"reverseVideo", &PageControls::reverseVideo},
                          {"pauseBeforeBoot", &PageControls::pauseBeforeBoot}, {"loadDebugInfo", &PageControls::loadDebugInfo},
                          {"safetyMessage", &PageControls::safetyMessage}};
    for (const Flag& f : flags) {
        if (field != f.name) continue;
        if (parseFlag(value, c.*f.control)) return true;
        error = field + " takes 0 or 1, not \"" + value + "\"";
        return false;
    }

    if (field == "rootDevice") {
        if (parseRootDevice(value, c.rootDevice)) return true;
        error = "rootDevice takes wd, sd, md, nfs or 0 to 3, not \"" + value + "\"";
        return false;
    }
    if (field == "platform") {
        if (parsePlatform(menu_, value, c.platform)) return true;
        error = "no platform is named \"" + value + "\" (see: tembrel machines)";
        return false;
    }
    if (field == "serialSpeed") {
        c.serialSpeed = text.substr(0, 8);
        return true;
    }
    if (field == "autoBootSeconds") {
        c.autoBoot = readDecimal(text, 32) != 0;
        c.autoBootSeconds = text;
        return true;
    }
    error = "unknown field \"" + field + "\"";
    return false;
}

void HeadlessPages::collect() {
    Preferences& p = menu_.preferences;
    const PageControls& c = controls;
    setRecordText(p.kernelDirectory, c.directory);
    p.directorySaved = 1;
    setRecordText(p.kernelName, c.kernelName);
    p.kernelNameSaved = 1;
    menu_.selectPlatform(c.platform);
    p.rootDevice = c.rootDevice;
    p.askName = c.askName;
    p.kernelDebugger = c.kernelDebugger;
    p.verbose = c.verbose;
    p.singleUser = c.singleUser;
    p.serialConsole = c.serialConsole;
    setRecordText(p.rootImageName, c.rootImageName);
    p.serialSpeed = static_cast<std::uint32_t>(readDecimal(c.serialSpeed, 8));
    p.autoBootSeconds = c.autoBoot ? readDecimal(c.autoBootSeconds, 32) : 0;
    p.reverseVideo = c.reverseVideo;
    p.pauseBeforeBoot = c.pauseBeforeBoot;
    p.loadDebugInfo = c.loadDebugInfo;
    p.safetyMessage = c.safetyMessage;
    setRecordText(p.extraKernelOptions, c.extraKernelOptions);
}
