#pragma once

#include <cstdint>

#include "support/cstd_str.h"
#include "support/path_object.h"

namespace platform {
class ShellLink;
}

// A shell link to be saved in a folder: target, arguments, working directory (the target's
// directory), comment and icon. The shell's link object lives only inside CreateLink, and the
// COM library must already be initialised on the calling thread.
class Shortcut {
  public:
    // The link file is itemName + ".LNK" in folder.
    void setLocation(const PathObject& folder, const CStdStr& itemName);
    void setTarget(const PathObject& path) { target = path; }
    void setArguments(const CStdStr& text) { arguments = text; }

    // True when the link file was saved. Folder and COM failures are silent (the caller
    // reports them); every property and save failure is logged.
    bool CreateLink();

    const PathObject& getLinkFile() const { return linkFile; }

  private:
    bool setProperties(platform::ShellLink& link) const;

    PathObject folder;
    PathObject target;
    PathObject linkFile;
    CStdStr arguments;
    CStdStr comment;
    PathObject icon;
    int32_t iconIndex = 0;
};
