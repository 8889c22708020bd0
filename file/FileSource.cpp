#include "file/FileSource.h"

#include <new>

#include "boot/BootController.h"
#include "console/Console.h"
#include "file/FatFileManager.h"

std::unique_ptr<FileManager> createFileSource(Console** console, std::uint32_t kind) {
    if (kind == BootController::localFiles) {
        return std::unique_ptr<FileManager>(new (std::nothrow) FatFileManager(console));
    }
    const char16_t* name = kind == BootController::httpFiles ? u"HTTP" : u"UFS";
    (*console)->print(u"FileManager: %s is not available.\n", name);
    return nullptr;
}
