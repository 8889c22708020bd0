// The simulated handheld the front end boots on.
#pragma once

#include <string>
#include <vector>

struct MachineChoice {
    std::string machine = "jornada720";  // profile key or platform name
    std::string storage;                  // host folder of the object store's root
    std::vector<std::string> cards;       // root folders that are storage cards
    std::string serial;                   // copy of the serial line: a file, or "-"
    std::vector<std::string> disks;       // "N=IMAGE": a host image as block device DSKN:
};

/// Builds the sandbox machine. False, with `error` set, when the choice is unusable.
bool setUpMachine(const MachineChoice& choice, std::string& error);
