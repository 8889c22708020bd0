#include "desktop/DesktopOptions.h"

namespace {

/// The option's value: after "=" in the same argument, else the next argument.
bool takeValue(const std::vector<std::string>& arguments, std::size_t& i, std::size_t nameLength,
               std::string& value) {
    const std::string& argument = arguments[i];
    if (argument.size() > nameLength) {
        if (argument[nameLength] != '=') return false;
        value = argument.substr(nameLength + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) return false;
    value = arguments[++i];
    return true;
}

}  // namespace

bool parseDesktopOptions(const std::vector<std::string>& arguments, DesktopOptions& options, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        struct Option {
            const char* name;
            std::string* single;
            std::vector<std::string>* repeated;
        };
        const Option known[] = {{"--machine", &options.machine.machine, nullptr},
                                {"--storage", &options.machine.storage, nullptr},
                                {"--serial", &options.machine.serial, nullptr},
                                {"--snapshot", &options.snapshot, nullptr},
                                {"--disk", nullptr, &options.machine.disks}};
        const Option* option = nullptr;
        for (const Option& o : known) {
            std::string name = o.name;
            if (argument.compare(0, name.size(), name) == 0 &&
                (argument.size() == name.size() || argument[name.size()] == '=')) {
                option = &o;
            }
        }
        if (option == nullptr) {
            error = "unknown option \"" + argument + "\"";
            return false;
        }
        std::string value;
        if (!takeValue(arguments, i, std::string(option->name).size(), value)) {
            error = std::string(option->name) + " needs a value";
            return false;
        }
        if (option->single != nullptr) *option->single = value;
        if (option->repeated != nullptr) option->repeated->push_back(value);
    }
    return true;
}

const char* desktopUsage() {
    return "usage: tembrel.exe [--machine KEY|NAME] [--storage DIR] [--disk N=IMAGE]... [--serial FILE|-]\n"
           "                   [--snapshot FILE]\n";
}
