// The owner of one boot attempt's components and of the settings it reads.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "boot/Preferences.h"

class Architecture;
class Console;
class FileManager;
class Loader;
class MemoryManager;

class BootController {
public:
    // Processor families.
    static constexpr std::uint32_t sa11x0 = 0x0C104000;
    static constexpr std::uint32_t pxa250 = 0x0C204000;
    static constexpr std::uint32_t pxa270 = 0x0C208000;

    // File sources.
    static constexpr std::uint32_t localFiles = 0;
    static constexpr std::uint32_t ufsFiles = 1;
    static constexpr std::uint32_t httpFiles = 2;

    /// The file source a kernel directory names: HTTP when it holds "http://", else
    /// UFS when it holds a "/", else local files.
    static std::uint32_t fileSourceKindOf(std::u16string_view directory);

    /// The process-wide controller; the first call creates the ARM controller and
    /// stores the boot sequence as the BootMenu's boot hook.
    static BootController* instance();
    /// Makes `controller` the process-wide one (stand-ins in tests) and stores the boot
    /// hook. Replaces and destroys an earlier one.
    static BootController* install(std::unique_ptr<BootController> controller);
    static void destroyInstance();

    virtual ~BootController();
    BootController(const BootController&) = delete;
    BootController& operator=(const BootController&) = delete;

    /// Installs the attempt's console and creates the file manager over the source the
    /// kernel directory names.
    virtual bool create();
    /// Reads the attempt's settings from the Preferences; false when the machine is
    /// not supported.
    virtual bool setup();
    /// Chooses the loader for the opened kernel file by its first bytes, releasing an
    /// earlier attempt's loader. Virtual so that a boot can be driven with stand-ins.
    virtual bool attachLoader();

    std::uint32_t architectureCode = 0;
    std::int32_t architectureDebug = 0;
    std::uint32_t useSerialConsole = 0;
    std::uint32_t memoryMethod = 0;
    std::int32_t memoryDebug = 0;
    std::uint32_t fileSourceKind = 0;
    std::int32_t fileDebug = 0;
    char16_t kernelDirectory[Preferences::textUnits] = {};
    char16_t kernelName[Preferences::textUnits] = {};
    std::uint32_t hasFileSystemImage = 0;
    char16_t fileSystemImageName[Preferences::textUnits] = {};

    // The components receive the addresses of `console` and `memoryManager`, so they
    // follow the console and memory manager chosen after they were built.
    Console* console;
    Architecture* architecture = nullptr;
    MemoryManager* memoryManager = nullptr;
    FileManager* fileManager = nullptr;
    Loader* loader = nullptr;

protected:
    BootController();

    /// Destroys the components of an earlier attempt, in the destruction order.
    void releaseComponents();

    /// The settings part of setup(): serial console, file source, kernel and image
    /// names, verbosities. False, with the reason printed, when a Preferences text
    /// fills its whole field and so has no end.
    bool readSettings(const Preferences& preferences);
};
