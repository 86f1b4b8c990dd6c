#pragma once

#include <string>

#include "tools/driver_package/windows_install.h"

// What a trial needs to say about the driver Windows installs for a model, beside installing it.
namespace winsim {

// The first file name that the driver's CopyFiles lists give and that cannot name a file in
// the driver directory, as a sentence naming it and its list; empty when all can.
std::string unusableCopyFilesName(const driver_package::WindowsModel& model);

// Why the utility's own discovery (each [Manufacturer] value whole as a section name, model
// keys compared as written) does not find the driver Windows installed under driverName.
std::string whyUtilityMissesModel(const driver_package::WindowsInf& inf,
                                  const std::string& driverName);

}  // namespace winsim
