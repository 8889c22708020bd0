#include "file/OpenFile.h"

#include "file/UfsFile.h"
#include "file/Winblk.h"

OpenFile::OpenFile() : deviceSwitch(&winblkSwitch) {}

OpenFile::~OpenFile() = default;
