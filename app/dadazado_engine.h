#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "commands/run_context.h"
#include "platform/spooler.h"
#include "support/cstd_str.h"
#include "support/inf_file.h"
#include "support/path_object.h"

class GenericInfo;

// One recorded install operation, handed to the logging library at the end of the run.
struct LogOp {
    int32_t type = 0;  // 1 an installed file, 3 a registry value
    CStdStr owner;     // "Uninstaller" or "Driver " + driver name
    CStdStr item;
    bool useArgument = false;
};

// The run's state and its fixed sequence. One instance lives on the entry point's stack for
// the whole run; every command handler reaches what it needs of the run through it, as a
// RunContext.
class DadazadoEngine : public RunContext {
  public:
    DadazadoEngine() = default;
    DadazadoEngine(const DadazadoEngine&) = delete;
    DadazadoEngine& operator=(const DadazadoEngine&) = delete;

    // What the engine reads of the INF itself, outside the command handlers: the network
    // level in the install section, and the install directory (directory code 777) in the
    // uninstall-information section.
    static constexpr const char* kNetworkLevelKey = "QN_DRV_NETSUPPORT";
    static constexpr const char* kDefaultUninstallInfoSection = "Qen_Unst_Info";
    static constexpr const char* kInstallDirKey = "QenInstallDir";
    static constexpr int kInstallDirCode = 777;
    // The bits of a command line's install-kind mask.
    static constexpr int kLocalInstall = 1;
    static constexpr int kPointAndPrint = 2;

    // The exit code: 0 when the run got through, 1 to 4 for the early checks.
    int run(const CStdStr& commandLine);

    void readDebugSettings();
    bool parseCommandLine(const CStdStr& commandLine);

    // INF discovery and the printer (driver_discovery.cpp).
    bool getManufacturers();
    bool getPrinterInfo();
    CStdStr getInstallSection(const CStdStr& model) const override;
    void readUninstallInfo();
    PathObject dirFromSpec(const CStdStr& codeAndSubdirectory) const;
    CStdStr getDriverEnvironment() const override;
    bool isRemotePrinter(const platform::PrinterInfo2& printer) const;
    // The enumerated driver record of that name (level 6 on Windows 2000 and later, else 3),
    // or null; level tells which.
    platform::DriverInfo3* findDriverInfo(const CStdStr& name, int* level);

    // Macros (decode_macros.cpp, lookup_dir.cpp) and localised strings (get_strings.cpp).
    CStdStr DecodeMacros(const CStdStr& text, int flags) const override;
    PathObject LookupDir(int code) const;
    void getStrings();
    const std::map<CStdStr, CStdStr>& getMacros() const { return macros; }
    const CStdStr& getLanguageIso() const override { return languageIso; }

    // INF access for the command handlers.
    bool getInfValue(const CStdStr& section, const CStdStr& key, CStdStr& value) const override;
    const std::vector<CStdStr>* findInfSection(const CStdStr& name) const override;
    bool isCommandForThisInstall(int mask) const override;

    void logOperation(int32_t type, const CStdStr& owner, const CStdStr& item,
                      bool useArgument) override;
    // Hands every recorded operation to the outside logging library.
    void flushLogOps(const CStdStr& argument) override;

    const CStdStr& getPrinterName() const override { return printerName; }
    const CStdStr& getDriverName() const override { return driverName; }
    const CStdStr& getPortName() const { return portName; }
    const CStdStr& getInstallSection() const override { return installSection; }
    bool isPointAndPrint() const { return pointAndPrint; }
    bool isSilentMode() const override { return silentMode; }
    bool isUpdateMode() const { return updateMode; }
    bool isCustomInstall() const override { return customInstall; }
    uint32_t getNetworkLevel() const { return networkLevel; }
    const PathObject& getInstallDir() const { return installDir; }
    const InfFile* getInf() const { return inf.get(); }
    const std::vector<std::unique_ptr<LogOp>>& getLogOps() const { return logOps; }

    // The per-driver and per-printer handlers; the records they point into stay put.
    bool SetupMultipleDrivers(std::vector<std::unique_ptr<GenericInfo>>& list);
    bool addPrinterHandlers(std::vector<std::unique_ptr<GenericInfo>>& list);

  private:
    bool enumerateDrivers(int level);
    void addDriverHandlers(std::vector<std::unique_ptr<GenericInfo>>& list,
                           platform::DriverInfo3& driver, int level);
    bool isSelectedPrinter(const platform::PrinterInfo2& printer) const;
    void logHeader(const CStdStr& commandLine);
    void readNetworkLevel();
    void logRunSettings() const;
    std::vector<std::unique_ptr<GenericInfo>> buildHandlers();

    CStdStr printerName;
    CStdStr driverName;
    CStdStr portName;
    CStdStr languageIso;
    std::unique_ptr<InfFile> inf;
    uint32_t networkLevel = 0;
    bool pointAndPrint = false;
    bool silentMode = false;
    bool customInstall = false;
    bool updateMode = false;
    PathObject installDir;
    std::vector<CStdStr> manufacturerSections;
    CStdStr installSection;
    std::vector<platform::DriverInfo3> driverInfo3;
    std::vector<platform::DriverInfo6> driverInfo6;
    int32_t driverCount = 0;
    std::vector<platform::PrinterInfo2> printers;
    std::vector<std::unique_ptr<LogOp>> logOps;
    std::map<CStdStr, CStdStr> macros;  // keys in lower case
};
