#include "file/FileSource.h"

#include <new>

#include "boot/BootController.h"
#include "console/Console.h"
#include "file/FatFileManager.h"
#include "file/HttpFileManager.h"
#include "file/UfsFileManager.h"

std::unique_ptr<FileManager> createFileSource(Console** console, std::uint32_t kind) {
    if (kind == BootController::localFiles) {
        return std::unique_ptr<FileManager>(new (std::nothrow) FatFileManager(console));
    }
    if (kind == BootController::httpFiles) {
        return std::unique_ptr<FileManager>(new (std::nothrow) HttpFileManager(console));
    }
    return std::unique_ptr<FileManager>(new (std::nothrow) UfsFileManager(console));
}
