#pragma once

#include <minizip/ioapi.h>

// The file functions minizip reads an archive with. They open files through the platform, so
// an archive is found where every other file of the run is, and a failure to open it leaves
// the platform's reason in the last error.
void fillPlatformZipFileFunctions(zlib_filefunc_def* functions);
